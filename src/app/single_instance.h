// Refuses a second copy of the program. The claim is keyed by the window
// title, so copies of one version find each other, and it is held until the
// process ends; a copy that crashed leaves nothing that blocks the next start.
#pragma once

#include <memory>
#include <QString>

namespace rosgen::app {

class SingleInstance {
 public:
  SingleInstance();
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // False when another running copy holds `key`. When the claim cannot be
  // made for other reasons (no writable folder) the program runs unguarded
  // rather than not at all.
  bool acquire(const QString& key);
  void release();

  // Where the claim for `key` lives (a lock file, or the kernel event's name).
  static QString claim_name(const QString& key);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace rosgen::app
