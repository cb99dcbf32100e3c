#include "bake_program.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bake_error.h"
#include "bake_host.h"
#include "bake_threads.h"
#include "bake_options.h"
#include "bake_run.h"
#include "base/error.h"
#include "frame_writers.h"
#include "interrupt.h"
#include "output_commit.h"
#include "up_axis.h"
#include "obj_sequence.h"
#include "output_queue.h"
#include "parameter_io.h"
#include "preview.h"
#include "progress.h"
#include "scene_file.h"
#include "sequence_scene.h"

namespace bake {

namespace {

// The faces of a grid made by the host: rows from -y to +y, columns from
// -x to +x, vertex index = row * sides + column; quads facing up. With y
// up the written grid is mirrored, so its corners go the other way round.
std::vector<std::vector<int>> gridFaces(int sides, UpAxis up) {
  std::vector<std::vector<int>> faces;
  for (int row = 0; row + 1 < sides; ++row) {
    for (int column = 0; column + 1 < sides; ++column) {
      const int a = row * sides + column;
      if (up == UpAxis::Z) {
        faces.push_back({a, a + 1, a + 1 + sides, a + sides});
      } else {
        faces.push_back({a, a + sides, a + 1 + sides, a + 1});
      }
    }
  }
  return faces;
}

// The scene in the files' axes. An OBJ sequence's first and last files
// give Start and End where the options do not.
BakeScene readScene(BakeOptions& o, std::vector<int>& frames) {
  if (!o.sceneFile.empty()) {
    if (frames.empty()) throw UsageError("no frame to bake: Start is after End");
    return readSceneFile(o.sceneFile);
  }
  const FramePattern pattern(o.objSequence);
  if (!o.startGiven || !o.endGiven) {
    const auto onDisk = pattern.framesOnDisk();
    if (!onDisk) throw BakeFailure("no file matches " + o.objSequence);
    if (!o.endGiven) o.params.end.setValue(static_cast<float>(onDisk->second));
    if (!o.startGiven) o.params.start.setValue(static_cast<float>(onDisk->first));
    frames = simulatedFrames(o.params);
  }
  if (frames.empty()) throw UsageError("no frame to bake: Start is after End");
  return readObjSequence(pattern, {o.water, o.effectors, frames});
}

std::vector<std::unique_ptr<FrameWriter>> makeWriters(const BakeOptions& o, const BakeScene& scene,
                                                      const std::vector<int>& frames, UpAxis up) {
  std::vector<std::unique_ptr<FrameWriter>> writers;
  const int points = scene.vertexCount();
  if (!o.preview.empty() && !previewAvailable()) makePreviewWriter(o.preview);  // throws the usage error
  if (!o.pc2.empty()) {
    // The run takes a Step below 1 as 1 (it never is: the option's range).
    const float step = static_cast<float>(std::max(1, o.params.step.IntValue()));
    writers.push_back(makePc2Writer(o.pc2, points, static_cast<float>(frames.front()), step,
                                    static_cast<int>(frames.size())));
  }
  if (!o.mdd.empty()) writers.push_back(makeMddWriter(o.mdd, points, frames, o.fps));
  if (!o.objOut.empty())
    writers.push_back(makeObjWriter(o.objOut, scene.waterName,
                                    scene.grid ? gridFaces(scene.grid->sides, up) : scene.waterFaces, frames));
  if (!o.preview.empty()) writers.push_back(makePreviewWriter(o.preview));
  return writers;
}

int bake(BakeOptions& o, std::FILE* out, std::FILE* err, const volatile std::sig_atomic_t* stop) {
  std::vector<int> frames = simulatedFrames(o.params);
  BakeScene scene = readScene(o, frames);
  if (o.wind.value_or(false) && !scene.wind) throw UsageError("--wind: the scene has no wind source");
  // A scene with a wind source has the wind on, as the panel's wind
  // command turns it on; --no-wind keeps it off.
  o.params.wind.setChecked(scene.wind.has_value() && o.wind.value_or(true));
  const UpAxis up = o.upAxis.value_or(scene.upAxis.value_or(UpAxis::Z));
  if (!scene.grid) {
    if (const auto warning = flatWaterWarning(up, scene.waterVertices))
      std::fprintf(err, "rillmark-bake: %s\n", warning->c_str());
  }
  sceneToHostAxes(up, scene);

  // Every output is made (under its temporary name) before the run, so a
  // name that cannot be written fails now rather than after it.
  std::vector<std::unique_ptr<FrameWriter>> writers = makeWriters(o, scene, frames, up);
  throwIfInterrupted();

  BakeHost host;
  // One thread does everything, each frame written as soon as it is
  // drawn. More share each frame's vertices and write the frames drawn
  // before while the run goes on; they start now, so that the writers can
  // set their files' space aside while the scene is built.
  const unsigned threads = o.threads > 0 ? static_cast<unsigned>(o.threads) : everyCore();
  // Written in the input's own axes, as the output transform is given.
  const SampleMapping mapping{up, scene.outputTransform ? &*scene.outputTransform : nullptr};
  std::optional<BakeThreads> shared;
  std::optional<OutputQueue> queue;
  if (threads > 1) queue.emplace(writers, shared.emplace(threads), mapping);
  const HostHandle water = host.build(scene);

  Progress progress(static_cast<int>(frames.size()), err, o.progressLines);
  RunRequest request;
  request.water = water;
  for (const BakeEffector& effector : scene.effectors) request.effectors.push_back(effector.name);
  request.windSource = scene.wind.has_value();
  request.stop = stop;
  std::vector<HostVec3> mapped;
  if (queue) {
    request.bands = &*shared;
    request.onFrameStart = [&](HostHandle runWater) {
      queue->beforeDrawing(BakeHost::vertices(runWater), [&](std::vector<HostVec3>& other) {
        if (!BakeHost::swapVertices(runWater, other)) throw BakeFailure("the water's vertex count changed");
      });
    };
    request.onFrame = [&](int frame, std::span<const HostVec3> vertices) {
      queue->push(frame, vertices);
      progress.frameDone();
    };
  } else {
    request.onFrame = [&](int frame, std::span<const HostVec3> vertices) {
      writeFrame(writers, mapping, frame, vertices, mapped);
      progress.frameDone();
    };
  }
  const RunOutcome outcome = runSimulation(host, o.params, request);
  if (queue && !outcome.stopped) queue->finish();
  progress.finish();

  for (const std::string& message : outcome.messages)
    std::fprintf(err, "rillmark-bake: %s%s\n", isTableFullMessage(message) ? "warning: " : "", message.c_str());
  if (outcome.stopped) throw Interrupted();
  if (outcome.frames != static_cast<int>(frames.size()))
    throw BakeFailure("the run ended after " + std::to_string(outcome.frames) + " of " +
                      std::to_string(frames.size()) + " frames; nothing was written");
  std::vector<SafeOutput*> files;
  for (const auto& writer : writers) {
    throwIfInterrupted();
    writer->finish();
    writer->addFiles(files);
  }
  commitOutputs(files);

  const double seconds = progress.seconds();
  std::fprintf(out, "Baked %d frames (%d to %d, step %d): %d events, %d vertices, %.2f s (%.1f ms a frame)\n",
               outcome.frames, frames.front(), frames.back(), std::max(1, o.params.step.IntValue()),
               outcome.events, outcome.vertices, seconds, outcome.frames ? 1000.0 * seconds / outcome.frames : 0.0);
  for (const std::string* path : {&o.pc2, &o.mdd, &o.objOut, &o.preview})
    if (!path->empty()) std::fprintf(out, "  wrote %s\n", path->c_str());
  return 0;
}

// Forgets the stop flag when the bake ends, however it ends.
struct WatchingForInterrupt {
  explicit WatchingForInterrupt(const volatile std::sig_atomic_t* stop) { watchForInterrupt(stop); }
  ~WatchingForInterrupt() { watchForInterrupt(nullptr); }
};

// The parameters described, printed or saved; no scene is read.
int parameterCommand(BakeOptions& o, std::FILE* out) {
  if (o.describeParameters) {
    std::fputs(describeParameters().c_str(), out);
    return 0;
  }
  // Without a scene the wind is as the options say, else as the panel opens.
  if (o.wind) o.params.wind.setChecked(*o.wind);
  if (!o.savePreset.empty()) writePresetFile(o.params, o.savePreset);
  if (o.printParameters) std::fputs(parameterValues(o.params).c_str(), out);
  return 0;
}

}  // namespace

int runBakeProgram(int argc, const char* const* argv, std::FILE* out, std::FILE* err,
                   const volatile std::sig_atomic_t* stop) {
  ParseResult parsed = parseBakeOptions(argc, argv);
  if (!parsed.options) {
    std::fputs(parsed.exitCode == 0 ? parsed.text.c_str() : ("rillmark-bake: " + parsed.text).c_str(),
               parsed.exitCode == 0 ? out : err);
    return parsed.exitCode;
  }
  const WatchingForInterrupt watching(stop);
  try {
    if (parsed.options->parameterCommand()) return parameterCommand(*parsed.options, out);
    return bake(*parsed.options, out, err, stop);
  } catch (const Interrupted&) {
    std::fprintf(err, "rillmark-bake: interrupted; nothing was changed\n");
    return kInterruptedStatus;
  } catch (const UsageError& e) {
    std::fprintf(err, "rillmark-bake: %s\n", e.what());
    return 2;
  } catch (const BakeFailure& e) {
    std::fprintf(err, "rillmark-bake: %s\n", e.what());
  } catch (const rillmark::Error& e) {
    std::fprintf(err, "rillmark-bake: %s\n", e.what());
  } catch (const std::bad_alloc&) {
    std::fprintf(err, "rillmark-bake: out of memory\n");
  } catch (const std::exception& e) {
    std::fprintf(err, "rillmark-bake: %s\n", e.what());
  }
  return 1;
}

}  // namespace bake
