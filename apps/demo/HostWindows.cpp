#include "apps/demo/HostWindows.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QVBoxLayout>

namespace demo {

namespace {
// The value of key in "key=value;key=value".
QString Field(const QString& text, const QString& key) {
    for (const QString& pair : text.split(';')) {
        const int eq = static_cast<int>(pair.indexOf('='));
        if (eq > 0 && pair.left(eq).trimmed() == key) return pair.mid(eq + 1).trimmed();
    }
    return {};
}

QWidget* Over(QWidget* parent) {
    QWidget* modal = QApplication::activeModalWidget();
    return modal ? modal : parent;
}
}  // namespace

bool EditIPDevice(QWidget* parent, const std::string& values, std::string& result) {
    QDialog dlg(Over(parent));
    dlg.setObjectName("ipDeviceEditor");
    dlg.setWindowTitle("IP Device");
    auto* layout = new QVBoxLayout(&dlg);
    if (!values.empty()) {
        auto* given = new QLabel(QString::fromStdString(values), &dlg);
        given->setWordWrap(true);
        layout->addWidget(given);
    }
    auto* form = new QFormLayout;
    const QString proposed = QString::fromStdString(result);
    auto* address = new QLineEdit(Field(proposed, "address"), &dlg);
    address->setObjectName("address");
    auto* cameras = new QLineEdit(Field(proposed, "cameras"), &dlg);
    cameras->setObjectName("cameras");
    cameras->setToolTip("Camera numbers, separated by commas");
    form->addRow("&Address:", address);
    form->addRow("&Cameras:", cameras);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    layout->addWidget(buttons);
    address->setFocus();
    address->selectAll();
    if (dlg.exec() != QDialog::Accepted) return false;
    result = ("address=" + address->text().trimmed() + ";cameras=" + cameras->text().remove(' ')).toStdString();
    return true;
}

void ShowHelpTopic(QWidget* parent, const std::string& topic) {
    QMessageBox box(QMessageBox::Information, "Help", QString("Help topic %1").arg(QString::fromStdString(topic)),
                    QMessageBox::Ok, Over(parent));
    box.setObjectName("helpTopic");
    box.exec();
}

}  // namespace demo
