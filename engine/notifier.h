// How the engine shows a message to the user without knowing about windows:
// the window implements it with a modal box, the command line with stderr,
// the tests with a recorder.
#pragma once

#include <string>

namespace paipan {

class Notifier {
public:
    virtual ~Notifier() = default;
    // A modal message with an OK button; text and caption are UTF-8.
    virtual void ShowMessage(const std::string& text, const std::string& caption) = 0;
};

}  // namespace paipan
