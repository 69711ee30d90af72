#pragma once

// The per-user settings store: maker "Skytramper", the program name, section
// "ServerSettings". Read once at start, written once at the end.

#include "form/queryform.h"
#include "session/framing.h"

#include <QString>
#include <memory>

class QSettings;

namespace SettingsKeys {
inline constexpr char kOrganisation[] = "Skytramper";
inline constexpr char kSection[] = "ServerSettings";
inline constexpr char kPort[] = "Port";
inline constexpr char kServerIP[] = "ServerIP";
inline constexpr char kDeparture[] = "Departure";
inline constexpr char kArrival[] = "Arrival";
inline constexpr char kDepDate[] = "DepDate";
inline constexpr char kMessagePrefix[] = "Message";
inline constexpr int kHistoryKeys = 10;
} // namespace SettingsKeys

// Where the store lives. An empty path (the default) means the platform's
// native per-user store; tests point it at a file of their own.
void SetSettingsFileOverride(const QString &path);
std::unique_ptr<QSettings> OpenSettings();

// Reads that fall back to the default when the key is missing, has the wrong
// type or does not parse.
int ReadProfileInt(QSettings &store, const char *key, int defaultValue);
QByteArray ReadProfileText(QSettings &store, const char *key, const QByteArray &defaultValue);
void WriteProfileInt(QSettings &store, const char *key, int value);
void WriteProfileText(QSettings &store, const char *key, const QByteArray &value);

// The application's five keys.
void ReadSavedCopies(QSettings &store, SavedCopies &saved);
void WriteSavedCopies(QSettings &store, const SavedCopies &saved);

// The main window's keys: thirteen texts, then eleven integers.
void ReadWindowSettings(QSettings &store, QueryForm &form);
void WriteWindowSettings(QSettings &store, const QueryForm &form);

// "Message0".."Message9", oldest first; missing keys read as empty texts.
CStringArray ReadMessageHistory(QSettings &store);
// The newest entries go to "Message9" downwards, at most ten of them.
void WriteMessageHistory(QSettings &store, const CStringArray &history);
