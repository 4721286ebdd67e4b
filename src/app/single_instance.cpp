#include "app/single_instance.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QLockFile>
#include <QStandardPaths>
#endif

namespace rosgen::app {

#ifdef _WIN32

// A named kernel event, as every earlier version of the program used: the
// system drops it with the last handle, so a crash cannot leave it behind.
struct SingleInstance::Impl {
  HANDLE event = nullptr;
};

QString SingleInstance::claim_name(const QString& key) { return key; }

bool SingleInstance::acquire(const QString& key) {
  if (impl_->event) return true;
  std::wstring name = key.toStdWString();
  if (HANDLE existing = OpenEventW(EVENT_ALL_ACCESS, FALSE, name.c_str())) {
    CloseHandle(existing);
    return false;
  }
  HANDLE created = CreateEventW(nullptr, FALSE, FALSE, name.c_str());
  if (created && GetLastError() == ERROR_ALREADY_EXISTS) {
    // Another copy made it between our two calls.
    CloseHandle(created);
    return false;
  }
  impl_->event = created;
  return true;
}

void SingleInstance::release() {
  if (impl_->event) CloseHandle(impl_->event);
  impl_->event = nullptr;
}

#else

// A lock file named after the key. It records the holder's process id, so a
// lock left by a copy that crashed is recognised as stale and taken over.
struct SingleInstance::Impl {
  std::unique_ptr<QLockFile> lock;
};

QString SingleInstance::claim_name(const QString& key) {
  QString dir = qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")
                    ? QDir::tempPath()
                    : QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (dir.isEmpty()) dir = QDir::tempPath();
  QByteArray hash = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
  // The user id keeps users of one machine apart in a shared temp folder.
  return QDir(dir).filePath(QStringLiteral("rosgen-%1-%2.lock").arg(getuid()).arg(QString::fromLatin1(hash)));
}

bool SingleInstance::acquire(const QString& key) {
  if (impl_->lock) return true;
  auto lock = std::make_unique<QLockFile>(claim_name(key));
  // Only a dead holder makes a lock stale, never its age: the first copy may
  // run for weeks.
  lock->setStaleLockTime(0);
  if (lock->tryLock(0)) {
    impl_->lock = std::move(lock);
    return true;
  }
  return lock->error() != QLockFile::LockFailedError;
}

void SingleInstance::release() { impl_->lock.reset(); }

#endif

SingleInstance::SingleInstance() : impl_(std::make_unique<Impl>()) {}

SingleInstance::~SingleInstance() { release(); }

}  // namespace rosgen::app
