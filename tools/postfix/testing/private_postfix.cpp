#include "tools/postfix/testing/private_postfix.h"

#include "platform/testing/loopback_ports.h"
#include "platform/testing/poll_until.h"
#include "platform/testing/test_support.h"

#include <arpa/inet.h>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace korva::testing {
namespace {

const char* const postfixPath = "/usr/sbin/postfix";
const char* const dovecotPath = "/usr/sbin/dovecot";
const char* const nobody = "65534";  // the Maildir's owner: virtual(8) delivers as no system user

std::string masterLines(int startTls, int tls, int plain)
{
    auto smtpd = [](int port, const std::string& options) {
        return "127.0.0.1:" + std::to_string(port) + " inet n - n - - smtpd" + options + "\n";
    };
    std::string lines = smtpd(startTls, " -o smtpd_tls_security_level=encrypt -o smtpd_tls_auth_only=yes") +
                        smtpd(tls, " -o smtpd_tls_wrappermode=yes -o smtpd_tls_security_level=encrypt") +
                        smtpd(plain, " -o smtpd_tls_security_level=none");
    // The services a delivery passes through; none chrooted, none reaching out.
    for (const char* service :
         {"pickup unix n - n 60 1 pickup", "cleanup unix n - n - 0 cleanup", "qmgr unix n - n 300 1 qmgr",
          "tlsmgr unix - - n 1000? 1 tlsmgr", "rewrite unix - - n - - trivial-rewrite", "bounce unix - - n - 0 bounce",
          "defer unix - - n - 0 bounce", "trace unix - - n - 0 bounce", "verify unix - - n - 1 verify",
          "flush unix n - n 1000? 0 flush", "proxymap unix - - n - - proxymap", "showq unix n - n - - showq",
          "error unix - - n - - error", "retry unix - - n - - error", "discard unix - - n - - discard",
          "virtual unix - n n - - virtual", "anvil unix - - n - 1 anvil", "scache unix - - n - 1 scache",
          "postlog unix-dgram n - n - 1 postlogd"})
        lines += std::string(service) + "\n";
    return lines;
}

}  // namespace

std::string PrivatePostfix::unavailable()
{
    if (access(postfixPath, X_OK) != 0)
        return "postfix is not installed (Debian package postfix)";
    if (access(dovecotPath, X_OK) != 0)
        return "dovecot is not installed (Debian package dovecot-core)";
    if (geteuid() != 0)
        return "a private Postfix needs root";
    if (!getpwnam("postfix"))
        return "there is no user postfix";
    return {};
}

PrivatePostfix::PrivatePostfix(const std::string& root)
    : root_(root),
      conf_(root + "/conf"),
      queue_(root + "/queue"),
      data_(root + "/data"),
      mail_(root + "/mail"),
      dovecot_(root + "/dovecot"),
      certificates_((fs::create_directories(root + "/tls"), root + "/tls"))
{
    for (const std::string& dir : {conf_, queue_, data_, dovecot_ + "/run", dovecot_ + "/state"})
        fs::create_directories(dir);
    // Postfix's own processes run as user postfix and must reach the queue.
    // Folders above are only made searchable: their other bits (the sticky
    // bit of /tmp) stay as they are.
    for (fs::path dir = root_; dir != dir.root_path(); dir = dir.parent_path()) {
        struct stat status {};
        if (stat(dir.c_str(), &status) == 0 && (status.st_mode & 0011) != 0011)
            chmod(dir.c_str(), (status.st_mode & 07777) | 0011);
    }
    if (const passwd* owner = getpwnam("postfix"))
        chown(data_.c_str(), owner->pw_uid, owner->pw_gid);
    // The fax mailbox is there before the first delivery, so that it can be watched.
    for (const char* dir : {"", "/fax", "/fax/tmp", "/fax/new", "/fax/cur"}) {
        fs::create_directories(mail_ + dir);
        chown((mail_ + dir).c_str(), 65534, 65534);
    }
    ports_[int(PostfixPort::StartTls)] = unusedLoopbackPort();
    ports_[int(PostfixPort::Tls)] = unusedLoopbackPort();
    ports_[int(PostfixPort::Plain)] = unusedLoopbackPort();
}

PrivatePostfix::~PrivatePostfix() { stop(); }

int PrivatePostfix::port(PostfixPort which) const { return ports_[int(which)]; }

std::string PrivatePostfix::mailLog() const
{
    std::error_code ec;
    return fs::exists(data_ + "/maillog", ec) ? readWholeFile(data_ + "/maillog") : "";
}

void PrivatePostfix::writeConfig()
{
    const std::string refuse = "error:5.7.1 nothing leaves this test server";
    writeWholeFile(conf_ + "/main.cf",
                   "compatibility_level = 3.6\n"
                   "queue_directory = " +
                       queue_ +
                       "\n"
                       "data_directory = " +
                       data_ +
                       "\n"
                       "maillog_file_prefixes = " +
                       root_ +
                       "\n"
                       "maillog_file = " +
                       data_ +
                       "/maillog\n"
                       "inet_interfaces = 127.0.0.1\ninet_protocols = ipv4\n"
                       "myhostname = mail.korva.test\n"
                       "mydestination =\nrelayhost =\nmynetworks =\nalias_maps =\nalias_database =\n"
                       "default_transport = " +
                       refuse + "\nrelay_transport = " + refuse +
                       "\n"
                       "local_transport = " +
                       refuse +
                       "\n"
                       "virtual_mailbox_domains = korva.test\n"
                       "virtual_mailbox_maps = texthash:" +
                       conf_ +
                       "/mailboxes\n"
                       "virtual_mailbox_base = " +
                       mail_ +
                       "\n"
                       "virtual_uid_maps = static:" +
                       nobody + "\nvirtual_gid_maps = static:" + nobody +
                       "\n"
                       // Loopback counts as local by default; a server elsewhere
                       // would not complete a message's headers.
                       "local_header_rewrite_clients =\n"
                       "smtpd_sasl_auth_enable = yes\nsmtpd_sasl_type = dovecot\nsmtpd_sasl_path = private/auth\n"
                       "smtpd_relay_restrictions = permit_sasl_authenticated, reject\n"
                       "smtpd_recipient_restrictions = permit_sasl_authenticated, reject\n"
                       "smtpd_tls_cert_file = " +
                       certificates_.certificateFile(TestCertificate::Good) +
                       "\n"
                       "smtpd_tls_key_file = " +
                       certificates_.keyFile(TestCertificate::Good) +
                       "\n"
                       "smtpd_error_sleep_time = 0\n");
    writeWholeFile(conf_ + "/master.cf",
                   masterLines(port(PostfixPort::StartTls), port(PostfixPort::Tls), port(PostfixPort::Plain)));
    writeWholeFile(conf_ + "/mailboxes", std::string(kPostfixFaxAddress) + " fax/\n");
    writeWholeFile(dovecot_ + "/users", std::string(kPostfixUser) + ":{PLAIN}" + kPostfixPassword + "\n");
    writeWholeFile(dovecot_ + "/dovecot.conf",
                   "base_dir = " + dovecot_ + "/run\nstate_dir = " + dovecot_ +
                       "/state\n"
                       "log_path = " +
                       dovecot_ +
                       "/log\n"
                       "protocols =\nssl = no\ndisable_plaintext_auth = no\nauth_mechanisms = plain login\n"
                       "auth_failure_delay = 0\n"
                       "passdb {\n  driver = passwd-file\n  args = scheme=PLAIN " +
                       dovecot_ +
                       "/users\n}\n"
                       "userdb {\n  driver = static\n  args = uid=" +
                       nobody + " gid=" + nobody + " home=" + mail_ +
                       "\n}\n"
                       "service auth {\n  unix_listener " +
                       queue_ +
                       "/private/auth {\n"
                       "    mode = 0660\n    user = postfix\n    group = postfix\n  }\n}\n");
}

std::string PrivatePostfix::start()
{
    for (int port : ports_)
        if (port == 0)
            return "no free port on 127.0.0.1";
    writeConfig();
    ProcessResult started = runProcess({postfixPath, "-c", conf_, "start"});
    if (started.exitCode != 0)
        return "postfix did not start: " + started.out + started.err + mailLog();
    postfixStarted_ = true;
    // Dovecot puts its socket into Postfix's private folder, which Postfix
    // made on its start.
    ChildOptions options;
    options.out = open((dovecot_ + "/out").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    options.err = options.out;
    options.ownProcessGroup = true;
    options.dieWithParent = true;
    dovecotProcess_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{dovecotPath, "-F", "-c", dovecot_ + "/dovecot.conf"}, options);
    if (options.out >= 0)
        close(options.out);
    const std::string socket = queue_ + "/private/auth";
    bool ready = pollUntil(
        [&] {
            std::error_code ec;
            return (fs::exists(socket, ec) || !dovecotProcess_->running()) &&
                   loopbackPortAnswers(port(PostfixPort::StartTls)) && loopbackPortAnswers(port(PostfixPort::Tls)) &&
                   loopbackPortAnswers(port(PostfixPort::Plain));
        },
        std::chrono::seconds(20));
    if (!dovecotProcess_->running())
        return "dovecot exited at once: " + readWholeFile(dovecot_ + "/out");
    if (!ready)
        return "postfix or dovecot did not get ready: " + mailLog() + readWholeFile(dovecot_ + "/out");
    return {};
}

void PrivatePostfix::stop()
{
    if (postfixStarted_) {
        (void)runProcess({postfixPath, "-c", conf_, "stop"});
        // A master that did not go: no test leaves a server behind.
        std::error_code ec;
        const std::string pidFile = queue_ + "/pid/master.pid";
        if (fs::exists(pidFile, ec)) {
            pid_t master = pid_t(std::atol(readWholeFile(pidFile).c_str()));
            if (master > 1 && kill(master, 0) == 0)
                kill(master, SIGKILL);
        }
        postfixStarted_ = false;
    }
    if (dovecotProcess_) {
        const pid_t group = dovecotProcess_->pid();
        dovecotProcess_->stop(std::chrono::seconds(10));
        if (group > 0)
            kill(-group, SIGKILL);
        dovecotProcess_.reset();
    }
}

}  // namespace korva::testing
