/** @file Worker.h
 * The engine side of the local service: one process, one engine, the loaded scripts in
 * one global that keeps its state between calls. It answers the service's frames
 * (Protocol.h) until the service closes its end. A call that passes its time limit is
 * stopped here by the engine's own stop; the service replaces a worker that stops
 * answering altogether.
 */
#pragma once

namespace qy::serve {

/// Answers frames on `fd` until it closes. The engine must be running on the calling
/// thread. Returns the process's exit status.
int RunWorker(int fd);

}  // namespace qy::serve
