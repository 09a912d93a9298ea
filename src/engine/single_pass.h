#pragma once

namespace sievo {

class MailEngine;

// The command line's single pass over every active account. With no account set up it
// says so, and where one is added, instead of ending without a word.
void CheckEveryAccountOnce(MailEngine& engine);

}  // namespace sievo
