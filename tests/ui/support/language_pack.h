// Writes a small language pack into a scratch program directory and makes it the
// running language, so widget tests see known translations.
#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "app/language.h"

namespace fk::test {

using PackEntries = std::vector<std::pair<std::string, std::string>>;

// `program_dir` must exist; the pack is written as "Test" for `locale_id`.
inline bool UseLanguagePack(const QString& program_dir, const PackEntries& entries,
                            std::uint32_t locale_id = 1033) {
    const QString languages = program_dir + "/Languages";
    if (!QDir().mkpath(languages)) return false;
    QFile index(languages + "/Language.ini");
    if (!index.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    index.write(QStringLiteral("[LCID]\n%1=Test\n").arg(locale_id).toUtf8());
    index.close();
    QFile pack(languages + "/Test.lng");
    if (!pack.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    pack.write("[ProgramOutStr]\n");
    for (const auto& [key, value] : entries) pack.write((key + "=" + value + "\n").c_str());
    pack.close();
    COperateLanguage::Instance().Init((program_dir + "/").toStdString(), locale_id);
    return COperateLanguage::Instance().LanguageName() == "Test";
}

}  // namespace fk::test
