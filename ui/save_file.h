// The window half of saving a list or a report: asking where, and writing the bytes
// so that a failed write never leaves half a file under the chosen name.
#pragma once

#include <QString>
#include <functional>
#include <string>

class QWidget;

namespace fk {

struct SaveRequest {
    std::string title;
    std::string file_name;  // suggested, in the user's home folder
    std::string filter;     // "CSV files (*.csv)"
    std::string suffix;     // added when the user types a name without one
};

// Returns the chosen path, or an empty one when the user cancelled. Tests answer
// without a dialog.
using SavePathChooser = std::function<std::string(const SaveRequest&)>;

SavePathChooser FileDialogChooser(QWidget* parent);

bool WriteWholeFile(const QString& path, const std::string& bytes);

}  // namespace fk
