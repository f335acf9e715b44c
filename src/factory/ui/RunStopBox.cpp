#include "factory/ui/RunStopBox.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kelvorn {

TDlgSntRunStop::TDlgSntRunStop(QWidget* owner, const std::string& factoryName) : QDialog(owner)
{
    setObjectName(QStringLiteral("DlgSntRunStop"));
    setWindowTitle(QStringLiteral("Soundfactory"));
    auto* layout = new QVBoxLayout(this);
    auto* text =
        new QLabel(QString::fromLatin1("Running Soundfactory \"" + factoryName + "\"..."), this);
    layout->addWidget(text);
    auto* row = new QHBoxLayout;
    row->addStretch();
    btnStop = new QPushButton(QStringLiteral("Stop"), this);
    btnStop->setObjectName(QStringLiteral("btnStop"));
    btnStop->setDefault(true);
    row->addWidget(btnStop);
    row->addStretch();
    layout->addLayout(row);
    // Esc and the close box reject the dialog: both stop the run.
    connect(btnStop, &QPushButton::clicked, this, &QDialog::reject);
}

TFactoryRunWatch::TFactoryRunWatch(QWidget* owner, std::string name,
                                   std::chrono::milliseconds delay)
    : owner(owner), name(std::move(name)), start(std::chrono::steady_clock::now()), delay(delay)
{
}

TFactoryRunWatch::~TFactoryRunWatch()
{
    if (box)
        box->hide();
}

void TFactoryRunWatch::Progress(AbortFlag* stop)
{
    if (!box) {
        if (std::chrono::steady_clock::now() - start < delay)
            return;
        box = std::make_unique<TDlgSntRunStop>(owner, name);
        box->setWindowModality(Qt::ApplicationModal);
        QObject::connect(box.get(), &QDialog::rejected, [this] { stopPressed = true; });
        box->show();
    }
    // Only the box takes input: the modality keeps every other window from it.
    QCoreApplication::processEvents();
    // A failure that set the flag first stays what ended the run.
    if (stopPressed && stop && !*stop)
        *stop = AbortByUser;
}

} // namespace kelvorn
