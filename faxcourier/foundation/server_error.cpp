#include "faxcourier/foundation/server_error.h"

#include "platform/message_box.h"
#include "platform/translation.h"

#include <cstdio>
#include <mutex>

namespace korva {
namespace {

std::mutex sinkMutex;
ServerErrorSink currentSink;
thread_local ServerErrorSink threadSink;

std::string threeLines(const std::string& message, const std::string& context, const std::string& detail)
{
    char text[10000];
    std::snprintf(text, sizeof text, "%s\n%s\n%s", message.c_str(), context.c_str(), detail.c_str());
    return text;
}

}  // namespace

void ShowServerError(void* owner, const char* message, const char* context, const String& detail)
{
    ShowServerError(owner, message, context, detail, detail.Text());
}

void ShowServerError(void* owner, const char* message, const char* context, const String& detail,
                     const std::string& shownDetail)
{
    ServerErrorBox box;
    box.owner = owner;
    box.caption = "KORVA Fax Printer";
    box.message = message ? message : "";
    box.context = context ? context : "";
    box.detail = detail.Text();
    box.text = threeLines(box.message, box.context, box.detail);
    // The messages are marked where they are written; looked up here.
    box.shown = threeLines(message ? translated("ServerError", message) : "", box.context, shownDetail);

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
        showMessageBox(box.caption, box.shown);
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
