// The update check: an announcement and a version text fetched from the
// update server at start, and the separate updater program.
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace rosgen::appearance {

// The version this program states to the update server: the server's version text is compared
// with it. It belongs to the update protocol, not to the program's own version (ROSGEN_VERSION):
// servers that answer "1.1.0.3" let every copy run.
inline constexpr const char* kProtocolVersion = "1.1.0.3";

inline constexpr const char* kAnnouncementPath = "/ros/rosgd.txt";
inline constexpr const char* kVersionPath = "/ros/ver.txt";
inline constexpr const char* kUpdateListPath = "/ros/uplist.txt";

struct DownloadLimits {
  std::chrono::milliseconds time{5000};  // for the whole download, connecting included
  std::size_t bytes = 1u << 20;          // more is not read
};

// GETs `url` and returns the body byte for byte, cut before its first zero
// byte; whatever the status, an error page included. Empty when no answer
// can be had in time. Waits for the answer without handling the user's input.
std::string download_text(const QUrl& url, DownloadLimits limits = {});

enum class VersionCheck { kNoVersion, kNewer, kNotNewer };

// Compares dotted versions part by part as numbers (1.1.0.10 is newer than
// 1.1.0.3; 1.2 is newer than 1.1.0.3). Leading blanks are skipped and the
// reading stops at the first character that does not continue the version. A
// text that does not begin with a digit, or holds only zeros, is no version.
VersionCheck check_version(std::string_view server_text, std::string_view built_in = kProtocolVersion);

// The update server from the settings ("http://host:port", a path allowed);
// an address without a scheme is taken as http. Nothing for an empty or
// unusable address.
std::optional<QUrl> server_address(const std::string& text);

// `path` on the server (its own path kept in front).
QUrl server_file(const QUrl& server, const char* path);

// The updater beside the program: UPDATE.exe on Windows; UPDATE or update elsewhere.
std::optional<std::filesystem::path> find_updater(const std::filesystem::path& program_dir);

// Starts a program with its arguments in a folder, without waiting for it;
// false when it cannot be started.
using StartFn = std::function<bool(const QString& program, const QStringList& arguments, const QString& folder)>;

// The real one: a detached process.
bool start_detached(const QString& program, const QStringList& arguments, const QString& folder);

// Starts the updater with the address of the update list and does not wait
// for it. False when there is no updater or it cannot be started.
bool start_updater(const std::filesystem::path& program_dir, const QUrl& update_list,
                   const StartFn& start = start_detached);

}  // namespace rosgen::appearance
