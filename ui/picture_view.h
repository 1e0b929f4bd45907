// A picture larger than its place, shown in a scrolling view.
#pragma once

#include <QScrollArea>

class QLabel;

namespace fk {

class CPictureView : public QScrollArea {
    Q_OBJECT
  public:
    explicit CPictureView(QWidget* parent = nullptr);

    // False (and an empty view) when the file is missing or unreadable.
    bool SetImageFile(const QString& path);
    bool HasImage() const;
    QSize ImageSize() const;

  private:
    QLabel* picture_;
};

}  // namespace fk
