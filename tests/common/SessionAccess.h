#pragma once

#include "link/BoardLine.h"
#include "link/Channel.h"
#include "session/MountSession.h"

namespace corvane::test {

// The session's own channel, for tests that watch the line beneath its door.
struct SessionAccess {
    static Channel& channel(MountSession& session) { return *session.m_channel; }
};

} // namespace corvane::test
