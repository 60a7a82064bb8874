#pragma once
// SIGTERM, SIGINT and SIGHUP end the main loop the way a close request to
// the hidden main window does. The handler only writes a byte to a pipe; the
// main thread reads it in its event loop and asks the program to quit.

#include <QObject>

class QSocketNotifier;

namespace korva::app {

class QuitSignals : public QObject {
    Q_OBJECT
public:
    // Installs the handlers; only one instance may exist at a time.
    explicit QuitSignals(QObject* parent = nullptr);
    ~QuitSignals() override;

    bool installed() const { return notifier_ != nullptr; }

signals:
    void signalled(int number);

private:
    void readPipe();

    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace korva::app
