#include "faxcourier/app/password_keyring.h"

#include "faxcourier/foundation/log.h"
#include "faxcourier/widgets/text_convert.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <qt6keychain/keychain.h>

#include <memory>

namespace korva::app {
namespace {

// Runs `job` to its end in a local event loop.
KeyringReply run(QKeychain::Job& job)
{
    if (!QCoreApplication::instance())
        return {KeyringStatus::Failed, {}, QStringLiteral("no application object to wait in")};
    // Never a plain-text copy beside the keyring: the settings file is the fallback.
    job.setInsecureFallback(false);
    job.setAutoDelete(false);
    QEventLoop loop;
    bool finished = false;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, [&] {
        finished = true;
        loop.quit();
    });
    job.start();
    if (!finished)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (job.error() == QKeychain::NoError)
        return {KeyringStatus::Done, {}, {}};
    if (job.error() == QKeychain::EntryNotFound)
        return {KeyringStatus::NotFound, {}, job.errorString()};
    return {KeyringStatus::Failed, {}, job.errorString()};
}

std::string logText(const QString& text) { return text.toLocal8Bit().toStdString(); }

}  // namespace

QString keyringKey(const Settings& settings)
{
    if (settings.Username.IsEmpty() || settings.Server.IsEmpty())
        return {};
    return toQt(settings.Username) + QLatin1Char('@') + toQt(settings.Server);
}

KeyringReply readKeyringPassword(const QString& key)
{
    QKeychain::ReadPasswordJob job(QString::fromLatin1(kKeyringService));
    job.setKey(key);
    KeyringReply reply = run(job);
    if (reply.status == KeyringStatus::Done)
        reply.password = job.textData();
    return reply;
}

KeyringReply storeKeyringPassword(const QString& key, const QString& password)
{
    QKeychain::WritePasswordJob job(QString::fromLatin1(kKeyringService));
    job.setKey(key);
    job.setTextData(password);
    return run(job);
}

KeyringReply deleteKeyringPassword(const QString& key)
{
    QKeychain::DeletePasswordJob job(QString::fromLatin1(kKeyringService));
    job.setKey(key);
    return run(job);
}

void keepPassword(Settings& settings, const QString& previousKey)
{
    QString key = keyringKey(settings);
    KeyringReply stored = storeKeyringPassword(key, toQt(settings.Password));
    settings.passwordInKeyring = stored.status == KeyringStatus::Done;
    if (!settings.passwordInKeyring) {
        LogAlways(0, "No keyring took the password of %s (%s); the settings file keeps it encoded\n",
                  logText(key).c_str(), logText(stored.message).c_str());
        return;
    }
    LogDebug("The password of %s is kept in the keyring\n", logText(key).c_str());
    // The user name or server changed: the old entry would only linger.
    if (!previousKey.isEmpty() && previousKey != key)
        (void)deleteKeyringPassword(previousKey);
}

void takePasswordFromKeyring(Settings& settings)
{
    QString key = keyringKey(settings);
    if (!settings.Password.IsEmpty() || key.isEmpty())
        return;  // a password in the settings file moves to the keyring at the next OK
    KeyringReply reply = readKeyringPassword(key);
    if (reply.status != KeyringStatus::Done) {
        LogAlways(0, "The password of %s could not be read from the keyring (%s)\n", logText(key).c_str(),
                  logText(reply.message).c_str());
        return;
    }
    settings.Password = toKorva(reply.password);
    settings.passwordInKeyring = true;
}

}  // namespace korva::app
