#include "platform/message_box.h"

#include <cstdio>
#include <mutex>

namespace korva {
namespace {

std::mutex sinkMutex;
MessageBoxSink currentSink;

void writeToStandardError(const std::string& caption, const std::string& text)
{
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}

}  // namespace

void showMessageBox(const std::string& caption, const std::string& text)
{
    MessageBoxSink sink;
    {
        std::lock_guard lock(sinkMutex);
        sink = currentSink;
    }
    // Called outside the lock: a sink may block until the user answers.
    if (sink)
        sink(caption, text);
    else
        writeToStandardError(caption, text);
}

MessageBoxSink setMessageBoxSink(MessageBoxSink sink)
{
    std::lock_guard lock(sinkMutex);
    MessageBoxSink previous = std::move(currentSink);
    currentSink = std::move(sink);
    return previous;
}

}  // namespace korva
