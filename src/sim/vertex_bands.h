// Where the vertex work of a synthesis pass runs. The plug-in lends none:
// its run owns no thread but the host's, and the pass does all the work
// there. A program that owns its process (the bake program) may lend one
// that runs the bands of the water on several threads at once. A vertex
// goes through the same operations in the same order either way, so the
// heights are the same to the bit.
#pragma once

#include <cstddef>
#include <functional>

namespace rillmark {

class VertexBands {
 public:
  virtual ~VertexBands() = default;
  // How many bands to cut the water into.
  virtual std::size_t count() const = 0;
  // Calls work(band) once for every band from 0 to count() - 1, on any of
  // its threads, and returns when all calls have returned. work touches
  // only its own band and does not throw.
  virtual void run(const std::function<void(std::size_t band)>& work) = 0;
};

}  // namespace rillmark
