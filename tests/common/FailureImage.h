// Pictures of failing tests. When a test first fails, the listener in TestMain.cpp asks the innermost
// live picture source to write <build>/failures/<Suite>.<Test>.png, so the picture shows the state the
// test failed in. The test display is the source when no scoped one is alive; a test drawing
// somewhere else (a memory bitmap) makes that the source for its lifetime.
#pragma once

#include <functional>
#include <string>

namespace k58test {

// Writes a PNG to the path; false when there is nothing to show.
using ImageWriter = std::function<bool(const std::string& Path)>;

// The picture source for its lifetime (the one made last wins).
class FailureImage {
public:
  explicit FailureImage(ImageWriter Writer);
  ~FailureImage();
  FailureImage(const FailureImage&) = delete;
  FailureImage& operator=(const FailureImage&) = delete;
};

// The source for when no scoped one is alive.
void SetDefaultFailureImage(ImageWriter Writer);

// Where the pictures go (made when the first one is written).
std::string FailureFolder();

}  // namespace k58test
