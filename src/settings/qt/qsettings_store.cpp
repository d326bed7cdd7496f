#include "settings/qt/qsettings_store.h"

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

} // namespace

std::string QSettingsStore::get(std::string_view app, std::string_view section,
                                std::string_view key) {
    const auto settings = openSettings(fileName_, app);
    const QVariant value = settings->value(entryKey(section, key));
    if (!value.isValid())
        return {};
    const QByteArray bytes =
        value.typeId() == QMetaType::QByteArray ? value.toByteArray() : value.toString().toUtf8();
    return bytes.toStdString();
}

bool QSettingsStore::save(std::string_view app, std::string_view section, std::string_view key,
                          std::string_view value) {
    const auto settings = openSettings(fileName_, app);
    if (!settings->isWritable())
        return false;
    // Text that is not UTF-8 is kept as raw bytes so that it still reads back unchanged.
    if (isUtf8(value))
        settings->setValue(entryKey(section, key), qtText(value));
    else
        settings->setValue(entryKey(section, key),
                           QByteArray(value.data(), static_cast<qsizetype>(value.size())));
    settings->sync();
    return settings->status() == QSettings::NoError;
}

} // namespace kavo
