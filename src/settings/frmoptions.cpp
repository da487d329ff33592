#include "settings/frmoptions.h"

#include "prepare/frmdeffilter.h"
#include "prepare/settingcolor.h"
#include "shell/pictures.h"
#include "shell/windowhelpers.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace orvane {

namespace {

const QSize kSwatchSize(64, 16);

struct ColorSetting {
    SettingKey key;
    quint32 UserSettings::*field;
    quint32 defaultColor;
};

// One entry per colour button, in the order in which the dialog stores them.
const std::array<ColorSetting, 6> kColorSettings = {{
    {SettingKey::AltColor1, &UserSettings::AltColor1, defaults::AltColor1},
    {SettingKey::AltColor2, &UserSettings::AltColor2, defaults::AltColor2},
    {SettingKey::RightColor, &UserSettings::RightColor, defaults::RightColor},
    {SettingKey::ErrorColor, &UserSettings::ErrorColor, defaults::ErrorColor},
    {SettingKey::SymbolColor, &UserSettings::SymbolColor, defaults::SymbolColor},
    {SettingKey::AlphaColor, &UserSettings::AlphaColor, defaults::AlphaColor},
}};

// The value of the leading digits of a text; 0 when it has none.
int leadingNumber(const QString &text)
{
    int value = 0;
    for (QChar c : text) {
        // The field holds two digits at most; the bound only keeps the sum from overflowing.
        if (c < QLatin1Char('0') || c > QLatin1Char('9') || value > 100000)
            break;
        value = value * 10 + c.digitValue();
    }
    return value;
}

// The colour of a colour button, drawn as a swatch on the button's face: the picture buttons
// carry the program's button picture as their background, so the colour sits inside it.
QIcon swatch(quint32 ref, qreal dpr)
{
    QPixmap pixmap(kSwatchSize * dpr);
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(QPointF(0, 0), QSizeF(kSwatchSize)).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QPen(QColor(0x3c, 0x4c, 0x5c), 1.0));
    p.setBrush(colorFromSetting(ref));
    p.drawRoundedRect(box, 3, 3);
    // A light inner line keeps dark colours apart from the border.
    p.setPen(QPen(QColor(255, 255, 255, 150), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(box.adjusted(1.5, 1.5, -1.5, -1.5), 2, 2);
    return QIcon(pixmap);
}

const QString kFrameStyle = QStringLiteral(
    "QGroupBox { background: rgba(255, 255, 255, 170); border: 1px solid #8aa6bf; border-radius: 6px;"
    " margin-top: 12px; padding: 14px 10px 8px 10px; }"
    "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left; left: 12px; padding: 0 4px;"
    " color: #1d3b50; font-weight: bold; }");

} // namespace

frmOptions::frmOptions(AppContext &ctx, OptionsTarget *target, QWidget *parent)
    : QDialog(parent), m_ctx(ctx), m_target(target)
{
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("选项设置"));

    Frame1 = buildColorFrame();
    Frame2 = buildOptionFrame();
    cmdOK = new QPushButton(QStringLiteral("确定(&O)"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel = new QPushButton(QStringLiteral("取消(&C)"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    for (QPushButton *b : {cmdOK, cmdCancel})
        b->setMinimumWidth(96);
    cmdOK->setDefault(true);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addSpacing(8);
    buttons->addWidget(cmdCancel);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 14, 18, 16);
    layout->setSpacing(12);
    layout->addWidget(Frame1);
    layout->addWidget(Frame2);
    layout->addLayout(buttons);
    setStyleSheet(kFrameStyle);

    connect(cmdSetColor1, &QPushButton::clicked, this, &frmOptions::cmdSetColor1_Click);
    connect(cmdSetColor2, &QPushButton::clicked, this, &frmOptions::cmdSetColor2_Click);
    connect(cmdSetRightColor, &QPushButton::clicked, this, &frmOptions::cmdSetRightColor_Click);
    connect(cmdSetErrorColor, &QPushButton::clicked, this, &frmOptions::cmdSetErrorColor_Click);
    connect(cmdSetSymColor, &QPushButton::clicked, this, &frmOptions::cmdSetSymColor_Click);
    connect(cmdSetAlphaColor, &QPushButton::clicked, this, &frmOptions::cmdSetAlphaColor_Click);
    connect(cmdResetColor, &QPushButton::clicked, this, &frmOptions::cmdResetColor_Click);
    connect(opLimitTime, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            opLimitTime_Click();
    });
    connect(opNoLimitTime, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            opNoLimitTime_Click();
    });
    connect(cmdDefineFilter, &QPushButton::clicked, this, &frmOptions::cmdDefineFilter_Click);
    connect(cmdCustomWords, &QPushButton::clicked, this, [this] {
        if (m_ctx.showCustomWords)
            m_ctx.showCustomWords(this);
    });
    cmdCustomWords->setVisible(bool(m_ctx.showCustomWords));
    connect(cmdOK, &QPushButton::clicked, this, &frmOptions::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmOptions::cmdCancel_Click);

    applyWindowPictures(this, m_ctx.folder);
    adjustSize();
    Form_Load();
}

QGroupBox *frmOptions::buildColorFrame()
{
    auto *frame = new QGroupBox(QStringLiteral("颜色设置"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto pair = [frame](const char *labelName, const QString &caption, const char *buttonName, QLabel **label,
                    QPushButton **button) {
        *label = new QLabel(caption, frame);
        (*label)->setObjectName(QLatin1String(labelName));
        *button = new QPushButton(frame);
        (*button)->setObjectName(QLatin1String(buttonName));
        (*button)->setToolTip(QStringLiteral("单击选择%1").arg(caption));
        (*button)->setAccessibleName(caption);
        (*button)->setIconSize(kSwatchSize);
        (*button)->setFixedSize(kSwatchSize.width() + 36, 32);
        (*label)->setBuddy(*button);
    };
    pair("Label1", QStringLiteral("交替颜色一"), "cmdSetColor1", &Label1, &cmdSetColor1);
    pair("Label2", QStringLiteral("交替颜色二"), "cmdSetColor2", &Label2, &cmdSetColor2);
    pair("Label3", QStringLiteral("正确文字颜色"), "cmdSetRightColor", &Label3, &cmdSetRightColor);
    pair("Label4", QStringLiteral("错误文字颜色"), "cmdSetErrorColor", &Label4, &cmdSetErrorColor);
    pair("lblsymcolor", QStringLiteral("标点符号颜色"), "cmdSetSymColor", &lblsymcolor, &cmdSetSymColor);
    pair("lblalphacolor", QStringLiteral("英文及数字颜色"), "cmdSetAlphaColor", &lblalphacolor, &cmdSetAlphaColor);
    m_colorButtons = {cmdSetColor1, cmdSetColor2, cmdSetRightColor, cmdSetErrorColor, cmdSetSymColor, cmdSetAlphaColor};

    cmdResetColor = new QPushButton(QStringLiteral("恢复默认颜色(&D)"), frame);
    cmdResetColor->setObjectName(QStringLiteral("cmdResetColor"));
    cmdResetColor->setMinimumWidth(150);

    auto *grid = new QGridLayout(frame);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(8);
    const QList<QPair<QLabel *, QPushButton *>> rows = {{Label1, cmdSetColor1}, {Label2, cmdSetColor2},
        {Label3, cmdSetRightColor}, {Label4, cmdSetErrorColor}, {lblsymcolor, cmdSetSymColor},
        {lblalphacolor, cmdSetAlphaColor}};
    for (int i = 0; i < rows.size(); ++i) {
        const int row = i / 2;
        const int column = (i % 2) * 3;
        grid->addWidget(rows[i].first, row, column, Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(rows[i].second, row, column + 1);
    }
    grid->setColumnMinimumWidth(2, 24);
    grid->setColumnStretch(2, 1);
    grid->addWidget(cmdResetColor, 3, 0, 1, 5, Qt::AlignRight);
    return frame;
}

QGroupBox *frmOptions::buildOptionFrame()
{
    auto *frame = new QGroupBox(QStringLiteral("其他选项设置"), this);
    frame->setObjectName(QStringLiteral("Frame2"));
    ckNeedFc = new QCheckBox(QStringLiteral("需要分词"), frame);
    ckNeedFc->setObjectName(QStringLiteral("ckNeedFc"));
    ckAutoOpenIme = new QCheckBox(QStringLiteral("自动打开Orvane输入法"), frame);
    ckAutoOpenIme->setObjectName(QStringLiteral("ckAutoOpenIme"));
    ckJmTips = new QCheckBox(QStringLiteral("需要简码提示"), frame);
    ckJmTips->setObjectName(QStringLiteral("ckJmTips"));
    opNoLimitTime = new QRadioButton(QStringLiteral("不限制时间"), frame);
    opNoLimitTime->setObjectName(QStringLiteral("opNoLimitTime"));
    opLimitTime = new QRadioButton(QStringLiteral("限制时间"), frame);
    opLimitTime->setObjectName(QStringLiteral("opLimitTime"));
    txtLimitTime = new QLineEdit(frame);
    txtLimitTime->setObjectName(QStringLiteral("txtLimitTime"));
    txtLimitTime->setMaxLength(2);
    txtLimitTime->setToolTip(QStringLiteral("限制时间为5～99分钟，最多2个数字"));
    txtLimitTime->setAlignment(Qt::AlignCenter);
    txtLimitTime->setFixedWidth(44);
    // Key presses pass the key filter; the validator keeps pasted text to digits as well.
    txtLimitTime->installEventFilter(new NumericKeyFilter(txtLimitTime));
    txtLimitTime->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), txtLimitTime));
    Label6 = new QLabel(QStringLiteral("分钟"), frame);
    Label6->setObjectName(QStringLiteral("Label6"));
    cmdDefineFilter = new QPushButton(QStringLiteral("自定义过滤符号(&F)"), frame);
    cmdDefineFilter->setObjectName(QStringLiteral("cmdDefineFilter"));
    cmdDefineFilter->setMinimumWidth(150);
    cmdCustomWords = new QPushButton(QStringLiteral("自定义词管理(&W)"), frame);
    cmdCustomWords->setObjectName(QStringLiteral("cmdCustomWords"));
    cmdCustomWords->setMinimumWidth(150);
    cmdCustomWords->setToolTip(QStringLiteral("查看或删除已加入的自定义词"));

    auto *switches = new QVBoxLayout;
    switches->setSpacing(8);
    switches->addWidget(ckNeedFc);
    switches->addWidget(ckJmTips);
    switches->addWidget(ckAutoOpenIme);
    switches->addStretch();

    auto *limitRow = new QHBoxLayout;
    limitRow->setSpacing(6);
    limitRow->addWidget(opLimitTime);
    limitRow->addWidget(txtLimitTime);
    limitRow->addWidget(Label6);
    limitRow->addStretch();
    auto *limits = new QVBoxLayout;
    limits->setSpacing(8);
    limits->addWidget(opNoLimitTime);
    limits->addLayout(limitRow);
    limits->addStretch();

    auto *grid = new QGridLayout(frame);
    grid->setHorizontalSpacing(24);
    grid->setVerticalSpacing(10);
    grid->addLayout(switches, 0, 0);
    grid->addLayout(limits, 0, 1);
    auto *frameButtons = new QHBoxLayout;
    frameButtons->addStretch();
    frameButtons->addWidget(cmdCustomWords);
    frameButtons->addWidget(cmdDefineFilter);
    grid->addLayout(frameButtons, 1, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    return frame;
}

void frmOptions::Form_Load()
{
    centerOnScreen(this);
    const UserSettings &s = m_ctx.settings;
    for (int i = 0; i < SlotCount; ++i)
        setButtonColor(ColorSlot(i), s.*kColorSettings[i].field);
    RenderColorsChanged = false;
    ckNeedFc->setChecked(s.NeedSegmentation);
    ckAutoOpenIme->setChecked(s.AutoOpenIme);
    ckJmTips->setChecked(s.NeedShortCodeTips);
    OldNeedSegmentation = s.NeedSegmentation;
    OldNeedShortCodeTips = s.NeedShortCodeTips;
    if (s.LimitTime) {
        opLimitTime->setChecked(true);
        txtLimitTime->setEnabled(true);
        txtLimitTime->setText(QString::number(s.LimitMinutes));
    } else {
        opNoLimitTime->setChecked(true);
        txtLimitTime->setEnabled(false);
    }
}

quint32 frmOptions::buttonColor(const QPushButton *button) const
{
    for (int i = 0; i < SlotCount; ++i) {
        if (m_colorButtons[i] == button)
            return m_colors[i];
    }
    return 0;
}

void frmOptions::setButtonColor(ColorSlot slot, quint32 color)
{
    m_colors[slot] = color;
    QPushButton *b = m_colorButtons[slot];
    b->setIcon(swatch(color, devicePixelRatioF()));
    b->setAccessibleDescription(colorFromSetting(color).name());
}

// The colours the test view is drawn with; the right and wrong colours only mark typed text.
bool frmOptions::drawsText(ColorSlot slot)
{
    return slot == SlotAlt1 || slot == SlotAlt2 || slot == SlotSymbol || slot == SlotAlpha;
}

void frmOptions::chooseColor(ColorSlot slot)
{
    const quint32 current = m_colors[slot];
    const std::optional<quint32> chosen = m_ctx.prompts->chooseColor(current);
    if (!chosen)
        return;
    // Two settings of one colour would make right, wrong and word colours indistinguishable,
    // and the test tells typed characters apart by their colour.
    for (int other = 0; other < SlotCount; ++other) {
        if (other != slot && m_colors[other] == *chosen) {
            m_ctx.prompts->message(QStringLiteral("所选颜色与已使用的颜色相同，请使用其它颜色！"), promptTitle(),
                MessageIcon::Exclamation);
            return;
        }
    }
    if (*chosen == current)
        return;
    if (drawsText(slot))
        RenderColorsChanged = true;
    setButtonColor(slot, *chosen);
}

void frmOptions::cmdSetColor1_Click()
{
    chooseColor(SlotAlt1);
}

void frmOptions::cmdSetColor2_Click()
{
    chooseColor(SlotAlt2);
}

void frmOptions::cmdSetRightColor_Click()
{
    chooseColor(SlotRight);
}

void frmOptions::cmdSetErrorColor_Click()
{
    chooseColor(SlotError);
}

void frmOptions::cmdSetSymColor_Click()
{
    chooseColor(SlotSymbol);
}

void frmOptions::cmdSetAlphaColor_Click()
{
    chooseColor(SlotAlpha);
}

void frmOptions::cmdResetColor_Click()
{
    // The record takes all six defaults at once; the store only on confirming.
    for (const ColorSetting &setting : kColorSettings)
        m_ctx.settings.*setting.field = setting.defaultColor;
    for (int i = 0; i < SlotCount; ++i) {
        const auto slot = ColorSlot(i);
        if (m_colors[slot] == kColorSettings[slot].defaultColor)
            continue;
        setButtonColor(slot, kColorSettings[slot].defaultColor);
        if (drawsText(slot))
            RenderColorsChanged = true;
    }
}

void frmOptions::opLimitTime_Click()
{
    txtLimitTime->setEnabled(true);
    if (isVisible())
        txtLimitTime->setFocus();
}

void frmOptions::opNoLimitTime_Click()
{
    txtLimitTime->setEnabled(false);
}

void frmOptions::cmdDefineFilter_Click()
{
    frmDefFilter dialog(m_ctx, this);
    dialog.exec();
}

void frmOptions::storeColor(ColorSlot slot)
{
    const ColorSetting &setting = kColorSettings[slot];
    if (m_ctx.store)
        StoreColor(*m_ctx.store, m_ctx.settings, setting.key, m_colors[slot]);
    else
        m_ctx.settings.*setting.field = m_colors[slot];
}

void frmOptions::storeSwitch(SettingKey key, bool UserSettings::*field, bool on)
{
    if (m_ctx.store)
        StoreSwitch(*m_ctx.store, m_ctx.settings, key, on);
    else
        m_ctx.settings.*field = on;
}

void frmOptions::cmdOK_Click()
{
    for (int i = 0; i < SlotCount; ++i)
        storeColor(ColorSlot(i));

    storeSwitch(SettingKey::NeedShortCodeTips, &UserSettings::NeedShortCodeTips, ckJmTips->isChecked());
    storeSwitch(SettingKey::NeedSegmentation, &UserSettings::NeedSegmentation, ckNeedFc->isChecked());
    storeSwitch(SettingKey::AutoOpenIme, &UserSettings::AutoOpenIme, ckAutoOpenIme->isChecked());

    bool close = true;
    const bool limit = opLimitTime->isChecked();
    if (limit) {
        const int minutes = leadingNumber(txtLimitTime->text());
        if (minutes < kMinLimitMinutes) {
            m_ctx.prompts->message(
                QStringLiteral("输入的限制时间为(5～99)分钟，请重新输入！"), promptTitle(), MessageIcon::Exclamation);
            txtLimitTime->setFocus();
            close = false;
        } else {
            if (m_ctx.store)
                StoreLimitMinutes(*m_ctx.store, m_ctx.settings, txtLimitTime->text());
            m_ctx.settings.LimitMinutes = minutes;
        }
    }
    storeSwitch(SettingKey::LimitTime, &UserSettings::LimitTime, limit);
    // Every key was stored and synced on its own; one message for all of them.
    if (m_ctx.store && !m_ctx.store->syncError().isEmpty())
        m_ctx.prompts->message(QStringLiteral("设置未能保存到文件中。\r\n%1。\r\n在本次运行中新的设置仍然有效。")
                                   .arg(m_ctx.store->syncError()),
            promptTitle(), MessageIcon::Exclamation);

    const UserSettings &s = m_ctx.settings;
    if (m_target && m_target->textShown()
        && (s.NeedSegmentation != OldNeedSegmentation || s.NeedShortCodeTips != OldNeedShortCodeTips
            || RenderColorsChanged)) {
        m_target->setSaveResultEnabled(s.NeedSegmentation);
        m_target->redrawText();
        // The text now shows these settings: a second confirmation (after a refused limit)
        // redraws only for what changes after this.
        OldNeedSegmentation = s.NeedSegmentation;
        OldNeedShortCodeTips = s.NeedShortCodeTips;
        RenderColorsChanged = false;
    }
    if (close)
        accept();
}

void frmOptions::cmdCancel_Click()
{
    reject();
}

} // namespace orvane
