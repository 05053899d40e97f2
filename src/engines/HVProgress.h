#pragma once

#include <cstdint>
#include <functional>

// Progress notices of the engines: called with the number of bytes processed since the previous
// notice. Called on the thread that runs the operation.
using HVProgressSink = std::function<void(std::uint32_t nBytesSinceLast)>;
