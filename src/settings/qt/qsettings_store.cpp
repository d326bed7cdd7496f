#include "settings/qt/qsettings_store.h"

#include <QFile>
#include <QSettings>
#include <QStringDecoder>
#include <memory>

namespace kavo {

namespace {

QString qtText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::unique_ptr<QSettings> openSettings(const QString& fileName, std::string_view app) {
    if (!fileName.isEmpty())
        return std::make_unique<QSettings>(fileName, QSettings::IniFormat);
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QStringLiteral("kavofe"), qtText(app));
}

QString entryKey(std::string_view section, std::string_view key) {
    return qtText(section) + QLatin1Char('/') + qtText(key);
}

bool isUtf8(std::string_view text) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded =
        decoder.decode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
    return !decoder.hasError();
}

std::string readValue(QSettings& settings, std::string_view section, std::string_view key) {
    const QVariant value = settings.value(entryKey(section, key));
    if (!value.isValid())
        return {};
    const QByteArray bytes =
        value.typeId() == QMetaType::QByteArray ? value.toByteArray() : value.toString().toUtf8();
    return bytes.toStdString();
}

std::string localText(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

} // namespace

std::string QSettingsStore::get(std::string_view app, std::string_view section,
                                std::string_view key) {
    const auto settings = openSettings(fileName_, app);
    checkDamage(*settings);
    return readValue(*settings, section, key);
}

bool QSettingsStore::save(std::string_view app, std::string_view section, std::string_view key,
                          std::string_view value) {
    const auto settings = openSettings(fileName_, app);
    const QString path = settings->fileName();
    checkDamage(*settings);
    if (!settings->isWritable()) {
        noteSaveFailure(path);
        return false;
    }
    // Text that is not UTF-8 is kept as raw bytes so that it still reads back unchanged.
    if (isUtf8(value))
        settings->setValue(entryKey(section, key), qtText(value));
    else
        settings->setValue(entryKey(section, key),
                           QByteArray(value.data(), static_cast<qsizetype>(value.size())));
    settings->sync();
    // A file that did not parse keeps FormatError whether or not the write worked, and hides
    // a later AccessError; then only the file itself can tell.
    const QSettings::Status status = settings->status();
    const bool kept = status == QSettings::NoError ||
                      (status == QSettings::FormatError &&
                       readValue(*openSettings(fileName_, app), section, key) == value);
    if (!kept) {
        noteSaveFailure(path);
        return false;
    }
    toldSaveFailure_ = false;
    return true;
}

void QSettingsStore::checkDamage(QSettings& settings) {
    if (checkedDamage_)
        return;
    checkedDamage_ = true;
    // Sections are parsed when first used, and the status shows only what was parsed.
    settings.allKeys();
    if (settings.status() != QSettings::FormatError)
        return;
    const QString path = settings.fileName();
    // The next save rewrites the file without the lines it could not read; keep them.
    const QString copy = path + QStringLiteral(".damaged");
    QFile::remove(copy);
    const bool kept = QFile::copy(path, copy);
    if (messages_ == nullptr)
        return;
    std::string text = "The settings file \"" + localText(path) +
                       "\" is damaged; the parts that could not be read were ignored.";
    text += kept ? "\rA copy of the damaged file was kept as \"" + localText(copy) + "\"."
                 : std::string("\rIt will be replaced when the settings are next saved.");
    messages_->show(text, kErrorTitle, MessageIcon::Error);
}

void QSettingsStore::noteSaveFailure(const QString& path) {
    if (toldSaveFailure_ || messages_ == nullptr)
        return;
    toldSaveFailure_ = true;
    messages_->show("Could not save the settings in \"" + localText(path) +
                        "\".\rCheck that its directory exists and can be written to.",
                    kErrorTitle, MessageIcon::Error);
}

} // namespace kavo
