#include "ui/save_file.h"

#include <QDir>
#include <QFileDialog>
#include <QSaveFile>

namespace fk {
namespace {

QString Q(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

}  // namespace

SavePathChooser FileDialogChooser(QWidget* parent) {
    return [parent](const SaveRequest& request) {
        QFileDialog dialog(parent, Q(request.title), QDir::home().filePath(Q(request.file_name)),
                           Q(request.filter));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(Q(request.suffix));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::string();
        return dialog.selectedFiles().front().toStdString();
    };
}

bool WriteWholeFile(const QString& path, const std::string& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    const auto size = static_cast<qint64>(bytes.size());
    return file.write(bytes.data(), size) == size && file.commit();
}

}  // namespace fk
