#pragma once
// The names of everything KORVA Fax keeps in its spool folder. The exit
// library, faxpreset, faxcourier and the tools meet in that folder, so each
// name is built here and nowhere else.

#include <string>
#include <sys/types.h>

namespace korva {

// "<spool>/control.dat"
std::string controlFilePath(const std::string& spoolFolder);
// "<spool>/control.lock": the file the control area's mutex locks.
std::string controlLockPath(const std::string& spoolFolder);

// "<spool>/korvafax.tif": the one name a finished print file is handed over under.
std::string watchFilePath(const std::string& spoolFolder);

// "<spool>/korvafax_<user>_<tick>_<pid>_<n>.tif": one print job while it is written.
std::string jobFilePath(const std::string& spoolFolder, const std::string& userName, unsigned long tick, pid_t pid,
                        unsigned jobNumber);
// True for a name jobFilePath() gives (the folder left off).
bool isJobFileName(const std::string& name);
// The printing process's id in such a name, or -1 when it holds none.
pid_t jobFileProcess(const std::string& name);

// "<spool>/korvafax<n>.tif": the work file of faxcourier's conversion number `n`.
std::string workFilePath(const std::string& spoolFolder, int number);
// True for a name workFilePath() gives (the folder left off).
bool isWorkFileName(const std::string& name);

// "<spool>/korvafax.running": the file faxcourier's running mark locks.
std::string courierPresencePath(const std::string& spoolFolder);

// "<spool>/handover.lock": held by the exit library while it hands over.
std::string handOverLockPath(const std::string& spoolFolder);

// "<spool>/waiting": documents kept in printing order.
std::string waitingFolder(const std::string& spoolFolder);

// "<spool>/unsent": printed documents that were not faxed.
std::string unsentFolder(const std::string& spoolFolder);

// "<spool>/taken": documents faxcourier has taken and not yet sent, each
// beside its record, until the server accepts the fax or the outbox has it.
std::string takenFolder(const std::string& spoolFolder);

// "<spool>/outbox": faxes that wait for the mail server.
std::string outboxFolder(const std::string& spoolFolder);

}  // namespace korva
