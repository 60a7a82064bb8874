#include "faxcourier/foundation/server_error.h"

#include "platform/message_box.h"

#include <cstdio>
#include <mutex>

namespace korva {
namespace {

std::mutex sinkMutex;
ServerErrorSink currentSink;
thread_local ServerErrorSink threadSink;

}  // namespace

void ShowServerError(void* owner, const char* message, const char* context, const String& detail)
{
    ServerErrorBox box;
    box.owner = owner;
    box.caption = "KORVA Fax Printer";
    box.message = message ? message : "";
    box.context = context ? context : "";
    box.detail = detail.Text();
    char text[10000];
    std::snprintf(text, sizeof text, "%s\n%s\n%s", box.message.c_str(), box.context.c_str(), box.detail.c_str());
    box.text = text;

    if (threadSink) {
        threadSink(box);
        return;
    }
    ServerErrorSink sink;
    {
        std::lock_guard lock(sinkMutex);
        sink = currentSink;
    }
    // Outside the lock: a real box waits for the user.
    if (sink)
        sink(box);
    else
        showMessageBox(box.caption, box.text);
}

ServerErrorSink setServerErrorSink(ServerErrorSink sink)
{
    std::lock_guard lock(sinkMutex);
    ServerErrorSink previous = std::move(currentSink);
    currentSink = std::move(sink);
    return previous;
}

}  // namespace korva

namespace korva {

ServerErrorSink setThreadServerErrorSink(ServerErrorSink sink)
{
    ServerErrorSink previous = std::move(threadSink);
    threadSink = std::move(sink);
    return previous;
}

}  // namespace korva
