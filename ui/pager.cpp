#include "ui/pager.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <algorithm>

namespace fk {

CPager::CPager(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    prev_ = new QPushButton(QStringLiteral("<"), this);
    next_ = new QPushButton(QStringLiteral(">"), this);
    prev_->setObjectName(QStringLiteral("pagerPrev"));
    next_->setObjectName(QStringLiteral("pagerNext"));
    for (QPushButton* b : {prev_, next_}) b->setFixedWidth(28);
    numbers_ = new QHBoxLayout;
    numbers_->setSpacing(2);
    layout->addWidget(prev_);
    layout->addLayout(numbers_);
    layout->addWidget(next_);
    connect(prev_, &QPushButton::clicked, this, [this] { Choose(current_ - 1); });
    connect(next_, &QPushButton::clicked, this, [this] { Choose(current_ + 1); });
    Rebuild();
}

void CPager::SetPages(int current, int count) {
    count_ = std::max(count, 0);
    current_ = count_ < current || current < 1 ? 1 : current;
    Rebuild();
}

std::vector<int> CPager::VisibleNumbers() const {
    std::vector<int> out;
    if (count_ <= 0) return out;
    int first = std::max(1, current_ - kWindow / 2);
    const int last = std::min(count_, first + kWindow - 1);
    first = std::max(1, last - kWindow + 1);
    for (int p = first; p <= last; ++p) out.push_back(p);
    return out;
}

void CPager::Choose(int page) {
    if (page < 1 || page > count_) return;
    emit pageChosen(page);
}

void CPager::Rebuild() {
    for (QPushButton* b : buttons_) b->deleteLater();
    buttons_.clear();
    for (int p : VisibleNumbers()) {
        auto* b = new QPushButton(QString::number(p), this);
        b->setObjectName(QStringLiteral("pagerPage%1").arg(p));
        b->setFixedWidth(32);
        b->setCheckable(true);
        b->setChecked(p == current_);
        connect(b, &QPushButton::clicked, this, [this, p] {
            // Keep the look of the current page until the list says where it is.
            for (QPushButton* other : buttons_)
                other->setChecked(other->text().toInt() == current_);
            Choose(p);
        });
        numbers_->addWidget(b);
        buttons_.push_back(b);
    }
    prev_->setEnabled(current_ > 1);
    next_->setEnabled(current_ < count_);
}

}  // namespace fk
