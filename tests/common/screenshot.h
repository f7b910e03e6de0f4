// Screenshots of the GUI tests, for a person to look at: written only when
// TURM_SCREENSHOT_DIR names a folder, under the given file name there.
// Without it nothing is written, so that test runs never leave files in
// shared places such as the system's temporary folder.
#pragma once

#include <QImage>
#include <QString>

#include <cstdlib>

// Saves img as dir/name when TURM_SCREENSHOT_DIR is set; returns whether
// a file was written.
inline bool keepscreenshot(const QImage& img, const char* name) {
  const char* dir = std::getenv("TURM_SCREENSHOT_DIR");
  if (dir == nullptr || *dir == 0) return false;
  return img.save(QString::fromLocal8Bit(dir) + "/" + name);
}
