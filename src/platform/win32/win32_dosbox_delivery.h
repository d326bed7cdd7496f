#pragma once

// A recording staged across volumes reaches the user's WAV file when DOSBox ends, or at the next
// start through the sweep.
#include "common/message_sink.h"

#include <string>

namespace kavo::staging {

// Appends the staged recording to the user's WAV file in chunks (an hour of it does not fit a
// 32-bit program's memory). Any failure keeps the stage, and a failed append is cut back to the
// file's size before it, so that the next try never adds the recording twice. Returns "" or
// what went wrong.
std::string deliver(const std::wstring& stage);

// Stages left behind, once neither their owner nor their DOSBox runs: the recording delivered
// first. One that cannot be is kept and told of once; nothing here may end the program, which
// runs this at every start.
void sweep(const std::wstring& base, MessageSink& messages);

} // namespace kavo::staging
