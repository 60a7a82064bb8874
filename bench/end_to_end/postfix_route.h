#pragma once
// The same documents through a stock Postfix instead of korva-sim: a private
// Postfix with Dovecot for AUTH on loopback, faxcourier sending over
// STARTTLS, timed from faxprint's exit to the message in the Maildir.

#include <string>
#include <vector>

namespace bench {

struct PostfixDocument {
    const char* title;
    std::string file;
    std::vector<std::string> printOptions;
};

// Prints each document's lines and result row. False when the route failed;
// a machine without Postfix is no failure (it says so instead).
bool measurePostfixRoute(const std::vector<PostfixDocument>& documents, int runs);

}  // namespace bench
