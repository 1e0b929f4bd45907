#include "ui/ipv4_field.h"

#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

namespace fk {

void MakeIpv4Field(QLineEdit* field) {
    // A partly typed address ("192.168.") is intermediate and the rules refuse it; a
    // key that would spell another address ("01", "256") is not taken at all.
    static const QRegularExpression exact(
        QStringLiteral("((25[0-5]|2[0-4][0-9]|1[0-9]{2}|[1-9][0-9]|[0-9])\\.){3}"
                       "(25[0-5]|2[0-4][0-9]|1[0-9]{2}|[1-9][0-9]|[0-9])"));
    field->setValidator(new QRegularExpressionValidator(exact, field));
    field->setMaxLength(15);
}

}  // namespace fk
