// Where the simulated-bus daemon listens and keeps its state.
#pragma once

#include <string>

namespace simbus {

// The per-user default socket: $XDG_RUNTIME_DIR/velmora-simbus/socket, else
// <temporary folder>/velmora-simbus-<uid>/socket. Empty when no folder can be named.
std::string defaultSocketPath();

// The per-user default state folder: $XDG_STATE_HOME/velmora-simbus, else
// $HOME/.local/state/velmora-simbus. Empty when neither variable names a folder.
std::string defaultStateFolder();

// The socket path a client or command uses: `explicitPath` when given, else VELMORA_SIMBUS
// when it holds a path (it contains a '/'), else the default socket.
std::string resolveSocketPath(const std::string& explicitPath);

// Makes the folder that holds `socketPath` ready for a socket: created with mode 0700 if
// missing, then verified to be a real directory (not a symlink) owned by this user that
// nobody else may write to. False with the reason in `error` otherwise.
bool prepareSocketFolder(const std::string& socketPath, std::string* error);

// Makes `folder` and its missing parents with mode 0700. False with the reason in `error`.
bool makePrivateFolders(const std::string& folder, std::string* error);

// The folder part of a path ("." for a bare name).
std::string parentFolder(const std::string& path);

// Longest socket path the system can bind (sockaddr_un).
size_t maxSocketPathLength();

}  // namespace simbus
