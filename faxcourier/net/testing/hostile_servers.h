#pragma once
// Servers that misbehave on purpose, as conversations for ScriptedServer.
// Each gives up and returns after `giveUpMs` at the latest, so a client that
// ignores its own time-out still ends its test, only late.

#include "faxcourier/net/testing/scripted_server.h"

namespace korva::testing {

enum class Hostility {
    HalfRecordThenSilence,     // the greeting's record cut in two, the rest never sent
    CloseNotifyMidLine,        // part of a line, then close_notify (the TCP connection stays)
    EndlessLineInFullRecords,  // records of 16 KiB, none with a line end
    HelloRequestThenSilence,   // TLS 1.2 only: asks for a renegotiation, then nothing
    KeyUpdateThenSilence,      // TLS 1.3: asks for a key update, then nothing
};

// A TLS server from the first byte with `identity` that completes the
// handshake and then behaves as `hostility` says.
ScriptedServer::Conversation hostileTls(Hostility hostility, ScriptedServer::TlsIdentity identity, int giveUpMs = 4000);

// A plain server whose first line never ends: `piece` again and again, as
// fast as the client takes it.
ScriptedServer::Conversation endlessPlainLine(std::string piece, int giveUpMs = 4000);

}  // namespace korva::testing
