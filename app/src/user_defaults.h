// The user defaults: the application's own settings (QSettings, by the
// organization and application names), read and written by key.
#pragma once

#include <QSettings>
#include <QString>
#include <QVariant>

#include <optional>

namespace parasort {

class UserDefaults {
 public:
  // The application's standard settings; needs the names that
  // setApplicationIdentity() sets.
  UserDefaults() = default;

  // The string under `key`, or nothing when there is no value or the value
  // is not text.
  [[nodiscard]] std::optional<QString> stringForKey(const QString& key) const;
  // The value under `key`, or nothing when there is none.
  [[nodiscard]] std::optional<QVariant> objectForKey(const QString& key) const;

  void setObject(const QString& value, const QString& key);
  void setBool(bool value, const QString& key);
  // Stores `value` so that it reads back (doubleValue) as exactly the double
  // that the float widens to: the widened double is written, in its shortest
  // exact form ("12.100000381469727"). The float's own shortest form ("12.1")
  // would read back as a different double.
  void setFloat(float value, const QString& key);

  // Writes pending changes out.
  void synchronize();

 private:
  QSettings settings_;
};

// A stored value as a double: a number's value, a string's leading decimal
// number, 0.0 for anything else.
[[nodiscard]] double doubleValue(const QVariant& object);

}  // namespace parasort
