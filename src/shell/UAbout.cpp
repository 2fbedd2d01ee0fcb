#include "shell/UAbout.h"

#include "base/AppConstants.h"
#include "base/ProcessLauncher.h"
#include "widgets/Style.h"

#include <QDir>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

namespace {

QPixmap logo()
{
    QPixmap pixmap(81, 81);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(HouseColour::Highlight);
    p.setPen(QPen(HouseColour::Ink, 2));
    p.drawRoundedRect(QRectF(2, 2, 77, 77), 10, 10);
    QFont font(QStringLiteral("Verdana"));
    font.setPixelSize(44);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRectF(0, 0, 81, 81), Qt::AlignCenter, QStringLiteral("T"));
    return pixmap;
}

QLabel *place(QLabel *label, int x, int y, int w, int h)
{
    label->setGeometry(x, y, w, h);
    return label;
}

} // namespace

TFAbout::TFAbout(ProcessLauncher &launcher, const QString &dataDir, QWidget *parent)
    : QDialog(parent), m_launcher(launcher)
{
    setObjectName(QStringLiteral("TFAbout"));
    setWindowTitle(QStringLiteral("About..."));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    applyTessiroStyle(this);
    setFixedSize(412, 152);

    auto *picture = new ClickLabel(QString(), this);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setPixmap(logo());
    picture->setScaledContents(true);
    picture->setGeometry(10, 10, 81, 81);
    // The link below does the same, so the picture is no keyboard stop.
    picture->setFocusPolicy(Qt::NoFocus);
    connect(picture, &ClickLabel::clicked, this, &TFAbout::Label4Click);

    auto *title = place(new QLabel(QStringLiteral("Software Tessiro "), this), 105, 10, 300, 18);
    QFont bold = title->font();
    bold.setBold(true);
    bold.setPointSize(10);
    title->setFont(bold);
    place(new QLabel(QStringLiteral("Gateway CANopen Slave to DeviceNET Slave"), this), 105, 30, 300, 16);

    const struct {
        const char *label;
        const char *value;
    } pairs[] = {{"Software Code : ", "QK4471"}, {"Version :", "1.000"}, {"Document Code :", "QM4471"}};
    int y = 56;
    for (const auto &pair : pairs) {
        place(new QLabel(QString::fromLatin1(pair.label), this), 105, y, 110, 16);
        place(new QLabel(QString::fromLatin1(pair.value), this), 220, y, 100, 16);
        y += 18;
    }

    // Installed, the program keeps its folders in the user's data folder: say where.
    auto *folders = place(new QLabel(this), 10, 100, 305, 16);
    folders->setObjectName(QStringLiteral("LabelDataDir"));
    const QString foldersText = QStringLiteral("Folders: %1").arg(QDir::toNativeSeparators(dataDir));
    folders->setText(folders->fontMetrics().elidedText(foldersText, Qt::ElideMiddle, folders->width()));
    folders->setToolTip(foldersText);
    folders->setTextInteractionFlags(Qt::TextSelectableByMouse);

    // Made before the link, so that OK comes first in the tab order, as it stands above it.
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("BitBtn1"));
    m_ok->setGeometry(322, 94, 80, 26);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);

    auto *web = new ClickLabel(MakerWebAddress, this);
    web->setObjectName(QStringLiteral("Label4"));
    web->setStyleSheet(QStringLiteral("color: blue; text-decoration: underline;"));
    web->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    web->setGeometry(202, 128, 200, 18);
    connect(web, &ClickLabel::clicked, this, &TFAbout::Label4Click);

    auto *support = new ClickLabel(MakerSupportAddress, this);
    support->setObjectName(QStringLiteral("Label5"));
    support->hide();
    connect(support, &ClickLabel::clicked, this, &TFAbout::Label5Click);
}

void TFAbout::showEvent(QShowEvent *event)
{
    // Every showing starts on OK, so that Enter closes the box.
    m_ok->setFocus();
    QDialog::showEvent(event);
}

void TFAbout::Label4Click()
{
    m_launcher.openUrl(MakerWebPage);
}

void TFAbout::Label5Click()
{
    m_launcher.openUrl(QStringLiteral("mailto:") + MakerSupportAddress);
}
