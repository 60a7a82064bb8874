#include "faxcourier/app/quit_signals.h"

#include "faxcourier/net/conversation_abort.h"
#include "faxcourier/widgets/quit_request.h"

#include <QSocketNotifier>

#include <csignal>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace korva::app {
namespace {

int pipeFds[2] = {-1, -1};
constexpr int handledSignals[] = {SIGTERM, SIGINT, SIGHUP};

// A server conversation blocks the main thread: it is ended here, so the
// program can end within a moment and keep the unsent fax in the outbox.
extern "C" void onQuitSignal(int number)
{
    int saved = errno;
    noteQuitSignal();
    abortServerConversations();
    unsigned char byte = static_cast<unsigned char>(number);
    ssize_t ignored = write(pipeFds[1], &byte, 1);
    (void)ignored;
    errno = saved;
}

}  // namespace

QuitSignals::QuitSignals(QObject* parent) : QObject(parent)
{
    if (pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    prepareServerConversationAbort();
    struct sigaction action {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : handledSignals)
        sigaction(number, &action, nullptr);
    notifier_ = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &QuitSignals::readPipe);
}

QuitSignals::~QuitSignals()
{
    if (!notifier_)
        return;
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (int number : handledSignals)
        sigaction(number, &action, nullptr);
    delete notifier_;
    close(pipeFds[0]);
    close(pipeFds[1]);
    pipeFds[0] = pipeFds[1] = -1;
}

void QuitSignals::readPipe()
{
    unsigned char byte = 0;
    while (read(pipeFds[0], &byte, 1) == 1)
        emit signalled(byte);
}

}  // namespace korva::app
