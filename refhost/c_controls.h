// The control functions the shared reference host exports beside the host
// functions, for host programs that load tsxapi by name and must set up a
// scene and read back results without the C++ API. They forward to
// refhost.h; see there for the meaning. Vertex data crosses as packed
// x, y, z floats; handles as the host's handles.
#pragma once

#include "hostapi/host_types.h"
#include "refhost/export_macros.h"

extern "C" {

// Setup.
REFHOST_API void RILLMARK_CDECL refhost_reset();
REFHOST_API void RILLMARK_CDECL refhost_set_version(int major, int minor);
REFHOST_API void RILLMARK_CDECL refhost_set_main_view(void* view);
REFHOST_API void RILLMARK_CDECL refhost_set_current_time(float frame);
REFHOST_API HostHandle RILLMARK_CDECL refhost_add_group(const char* name, int kind, HostHandle parent);
REFHOST_API HostHandle RILLMARK_CDECL refhost_add_object(const char* name, int kind, HostHandle parent);
REFHOST_API HostHandle RILLMARK_CDECL refhost_add_polyhedron(const char* name, const float* xyz, int count,
                                                             HostHandle parent);
REFHOST_API HostHandle RILLMARK_CDECL refhost_add_grid(const char* name, int nx, int ny, float width, float depth,
                                                       float z, HostHandle parent);
REFHOST_API int RILLMARK_CDECL refhost_set_name(HostHandle node, const char* name);
REFHOST_API int RILLMARK_CDECL refhost_set_vertex_transform(HostHandle polyhedron, const float* m12);
REFHOST_API int RILLMARK_CDECL refhost_set_location(HostHandle node, float x, float y, float z);
REFHOST_API int RILLMARK_CDECL refhost_set_size(HostHandle node, float x, float y, float z);
REFHOST_API int RILLMARK_CDECL refhost_add_location_key(HostHandle node, float frame, float x, float y, float z);
REFHOST_API void RILLMARK_CDECL refhost_select(HostHandle node);
REFHOST_API void RILLMARK_CDECL refhost_set_recording(int on);
REFHOST_API void RILLMARK_CDECL refhost_time_frames(int on);
REFHOST_API void RILLMARK_CDECL refhost_reuse_key_buffers(int on);
REFHOST_API void RILLMARK_CDECL refhost_hide_export(const char* name);
REFHOST_API void RILLMARK_CDECL refhost_clear_hidden_exports();
REFHOST_API void* RILLMARK_CDECL refhost_lookup_export(const char* name);

// Faults (refhost::Faults): each call sets one and leaves the others.
// node null: every node.
REFHOST_API void RILLMARK_CDECL refhost_fault_box(HostHandle node, float value);
REFHOST_API void RILLMARK_CDECL refhost_fault_vertex_count(int count);
REFHOST_API void RILLMARK_CDECL refhost_fault_null_vertex_arrays(int on);
REFHOST_API void RILLMARK_CDECL refhost_fault_name_length(int length);
REFHOST_API void RILLMARK_CDECL refhost_fault_unterminated_names(int on);
REFHOST_API void RILLMARK_CDECL refhost_fault_stale_selection(int on);
// 0 plain, 1 zero with a copy, 2 nonzero without one (refhost::CopyAnswer).
REFHOST_API void RILLMARK_CDECL refhost_fault_copy(int answer);
REFHOST_API void RILLMARK_CDECL refhost_clear_faults();

// Open answers (refhost::OpenAnswers), until the next reset: 1 sets, 0 clears.
REFHOST_API void RILLMARK_CDECL refhost_set_sobj_only_in_scene(int on);
REFHOST_API void RILLMARK_CDECL refhost_set_vertex_arrays_move_on_key(int on);

// Read-back. Functions that fill a caller's array take its capacity in
// vertices (or frames) and never write past it; they return the full count.
REFHOST_API int RILLMARK_CDECL refhost_is_live(HostHandle node);
REFHOST_API int RILLMARK_CDECL refhost_in_scene(HostHandle node);
REFHOST_API HostHandle RILLMARK_CDECL refhost_selection();
// The first node of the top list with exactly that name, or null.
REFHOST_API HostHandle RILLMARK_CDECL refhost_find_top_node(const char* name);
REFHOST_API int RILLMARK_CDECL refhost_live_node_count();
REFHOST_API int RILLMARK_CDECL refhost_get_name(HostHandle node, char* buffer, int max);
REFHOST_API int RILLMARK_CDECL refhost_vertex_count(HostHandle polyhedron);
REFHOST_API int RILLMARK_CDECL refhost_get_vertices(HostHandle polyhedron, float* xyz, int max);
REFHOST_API void RILLMARK_CDECL refhost_get_location(HostHandle node, float* xyz);
REFHOST_API void RILLMARK_CDECL refhost_get_size(HostHandle node, float* xyz);
REFHOST_API int RILLMARK_CDECL refhost_vertex_key_frames(HostHandle polyhedron, int* frames, int max);
// The vertex count of the key at that frame, or -1 when there is none.
REFHOST_API int RILLMARK_CDECL refhost_get_vertex_key(HostHandle polyhedron, int frame, float* xyz, int max);
// 1 visible, 0 invisible, -1 no key at that frame.
REFHOST_API int RILLMARK_CDECL refhost_visibility_key(HostHandle node, int frame);
REFHOST_API int RILLMARK_CDECL refhost_is_visible(HostHandle node);
REFHOST_API int RILLMARK_CDECL refhost_drawing_mode(HostHandle node);
REFHOST_API int RILLMARK_CDECL refhost_add_mode(HostHandle node);
REFHOST_API int RILLMARK_CDECL refhost_has_script_tree(HostHandle node);
REFHOST_API int RILLMARK_CDECL refhost_has_attribute(HostHandle node, int code);
REFHOST_API int RILLMARK_CDECL refhost_play_mode();
REFHOST_API float RILLMARK_CDECL refhost_current_time();
REFHOST_API long long RILLMARK_CDECL refhost_draw_count();
REFHOST_API long long RILLMARK_CDECL refhost_call_count(const char* name);
// Each tsxAnimSetActiveTime since timing went on: its frame and the time it
// came, in seconds on a monotonic clock.
REFHOST_API int RILLMARK_CDECL refhost_frame_timings(float* frames, double* seconds, int max);

}  // extern "C"
