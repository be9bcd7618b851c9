// The one exception type of the graphics code. Every hard failure of the
// DirectDraw / Direct3D layer throws it with a short text; the saver runner
// catches it around set-up and each frame. The text also goes to the
// debugger output the moment the error is made, so a trace shows it even
// when the catcher only logs a summary.
#pragma once

#include <string>

class cGameError {
 public:
  explicit cGameError(const std::string& text);

  const std::string& GetText() const { return text_; }

 private:
  std::string text_;
};
