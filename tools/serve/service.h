// `plotvane serve`: the HTTP/1.1 service. One thread runs every connection
// asynchronously (an idle or slow connection costs a socket and a buffer,
// never a thread); a fixed pool of workers draws. A request is read with the
// size limits and the read timeout, routed, and, when it needs drawing,
// queued for a worker with its deadline; the answer goes back on the
// connection's thread. SIGTERM or SIGINT stops the service gracefully: the
// listener closes, idle connections close, requests already received are
// answered (with "Connection: close"), then the process ends.
#ifndef PLOTVANE_TOOLS_SERVE_SERVICE_H_
#define PLOTVANE_TOOLS_SERVE_SERVICE_H_

#include <ostream>

#include "client/client.h"
#include "tools/serve/options.h"

namespace plotvane {

// Serves until stopped by SIGTERM or SIGINT, drawing with `server`. Writes
// "plotvane serve: listening on ADDRESS:PORT ..." on `log` once listening,
// then one access-log line per request: method, path, status, body bytes,
// milliseconds. Returns the exit status: 0 after a graceful stop, 1 when
// the service could not start (the reason on `log`).
// REQUIRES: server.ok().
int Serve(const ServerLibrary& server, const ServeOptions& options, std::ostream& log);

}  // namespace plotvane

#endif  // PLOTVANE_TOOLS_SERVE_SERVICE_H_
