#pragma once

// Pictures of the screen for the record: ImageMagick's `import -window root` on the X display
// Wine draws on, run as the Linux program it is.

#include <string>

namespace morvane::e2e {

class Screenshots {
 public:
  // `folder` is a Linux path; empty turns pictures off (taking one then does nothing).
  explicit Screenshots(std::string folder) : folder_(std::move(folder)) {}
  // Writes `file` into the folder; an empty text on success, else what went wrong.
  std::string Take(const std::string& file) const;

 private:
  std::string folder_;
};

}  // namespace morvane::e2e
