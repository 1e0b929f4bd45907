// Page numbers under a list: previous, a window of numbered pages around the current
// one, next. Picking a page only reports it; the list decides what it shows and
// hands the pager the new position.
#pragma once

#include <QWidget>
#include <vector>

class QPushButton;
class QHBoxLayout;

namespace fk {

class CPager : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kWindow = 7;

    explicit CPager(QWidget* parent = nullptr);

    // A count below the current page shows page 1 (the list shrank under it).
    void SetPages(int current, int count);
    int Current() const { return current_; }
    int Count() const { return count_; }
    // The page numbers shown as buttons, for the layout and for tests.
    std::vector<int> VisibleNumbers() const;

    void Choose(int page);

  signals:
    void pageChosen(int page);

  private:
    void Rebuild();

    int current_ = 1;
    int count_ = 0;
    QHBoxLayout* numbers_ = nullptr;
    QPushButton* prev_ = nullptr;
    QPushButton* next_ = nullptr;
    std::vector<QPushButton*> buttons_;
};

}  // namespace fk
