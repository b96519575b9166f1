// SetupDialog: the editor's controls at their places and its events.
#include "gui/qt/setup_dialog.h"
#include "gui/qt/ansi_text.h"

#include <QCheckBox>
#include <QCompleter>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyleOptionFrame>

#include "gui/qt/html_link_label.h"
#include "gui/qt/message_presenter.h"
#include "gui/qt/ui_fonts.h"
#include "platform/codepage.h"

namespace wb::gui {
namespace {

constexpr int kFieldLeft = 108;
constexpr int kFieldWidth = 377;
constexpr int kFieldHeight = 23;
constexpr int kLabelRight = 102;  // field labels end here, right-aligned before their field
constexpr int kActionWidth = 249;
const QColor kLabelBlue(0, 0, 255);
const QColor kWarningRed(255, 0, 0);

// The drop-downs, top to bottom: field and top; the name edit stands above
// them at 16. Their labels are the logic's (kSetupFieldLabels).
struct FieldPlace {
  SetupField field;
  int top;
};
constexpr FieldPlace kFieldPlaces[] = {
    {SetupField::FilterLayoutName, 84}, {SetupField::FilterPOT, 111},
    {SetupField::FilterOutput, 138},    {SetupField::Destination, 194},
    {SetupField::SuperLayoutname, 223}, {SetupField::LabelPrinter, 253},
    {SetupField::Printer, 282},         {SetupField::Bin, 311},
    {SetupField::Duplex, 341},          {SetupField::Count, 370},
};

const char* LabelOf(SetupField field) { return kSetupFieldLabels[static_cast<size_t>(field)]; }

// Keys that leave a read-only field's value alone: moving between fields and
// closing the dialog.
bool KeyKeepsValue(const QKeyEvent& key) {
  switch (key.key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Escape: return true;
    default: return false;
  }
}

}  // namespace

// ---- SetupComboBox ----

SetupComboBox::SetupComboBox(QWidget* parent) : QComboBox(parent) {
  setEditable(true);
  setInsertPolicy(QComboBox::NoInsert);
  setMaxVisibleItems(20);
  // Values are stored as typed. A case-blind completer would put an offered
  // item in place of the typed text ("PDF" becoming "pdf", "laser" picking
  // Laser's bins), on completion and again on Enter, which matches the list
  // with the completer's case rule.
  completer()->setCaseSensitivity(Qt::CaseSensitive);
}

void SetupComboBox::setReadOnly(bool readOnly) {
  readOnly_ = readOnly;
  lineEdit()->setReadOnly(readOnly);
  if (readOnly) hidePopup();
  update();
}

void SetupComboBox::showPopup() {
  if (!readOnly_) QComboBox::showPopup();
}

void SetupComboBox::paintEvent(QPaintEvent* event) {
  if (!readOnly_) {
    QComboBox::paintEvent(event);
    return;
  }
  // A plain field: a line edit's panel across the whole width, no drop-down
  // button. (Drawing the combo box with its arrow left out would not do: the
  // style caches the drawn box without regard to its parts.)
  QPainter painter(this);
  QStyleOptionFrame option;
  option.initFrom(this);
  option.rect = rect();
  option.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this);
  option.midLineWidth = 0;
  option.state |= QStyle::State_Sunken | QStyle::State_ReadOnly;
  option.features = QStyleOptionFrame::None;
  style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, this);
}

void SetupComboBox::wheelEvent(QWheelEvent* event) {
  if (readOnly_) event->ignore();
  else QComboBox::wheelEvent(event);
}

// ---- SetupDialog ----

SetupDialog::SetupDialog(TSetupServices services, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
  form_ = std::make_unique<TSetupFrm>(*this, std::move(services));
  setWindowTitle("Print & PDF");
  setFixedSize(kClientWidth, kClientHeight);
  setFont(UiFont(10, false));
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  setPalette(white);
  setAutoFillBackground(true);
  BuildControls();
  form_->FormCreate();
}

SetupDialog::~SetupDialog() { form_->FormDestroy(); }

SetupDialogFactory SetupDialog::Factory(QWidget* parent) {
  QPointer<QWidget> owner(parent);
  return [owner](TSetupServices services) -> std::unique_ptr<ISetupDialog> {
    return std::make_unique<SetupDialog>(std::move(services), owner.data());
  };
}

QLabel* SetupDialog::AddLabel(const char* text, bool heading) {
  auto* label = new QLabel(QString::fromUtf8(text), this);
  label->setFont(UiFont(10, heading));
  QPalette blue = label->palette();
  blue.setColor(QPalette::WindowText, kLabelBlue);
  label->setPalette(blue);
  label->adjustSize();
  return label;
}

void SetupDialog::AddFieldLabel(const char* text, int fieldTop) {
  QLabel* label = AddLabel(text, false);
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  label->setGeometry(0, fieldTop, kLabelRight, kFieldHeight);
}

void SetupDialog::BuildControls() {
  const QFont fieldFont = UiFont(9, true);

  AddFieldLabel(LabelOf(SetupField::Name), 16);
  name_ = new QLineEdit(this);
  name_->setFont(fieldFont);
  name_->setGeometry(kFieldLeft, 16, kFieldWidth, kFieldHeight);

  forbidden_ = new QCheckBox("Nicht benutzen", this);
  forbidden_->move(180, 41);
  forbidden_->adjustSize();

  exampleLink_ = new HtmlLinkLabel(this);
  exampleLink_->setWordWrap(false);
  exampleLink_->setMarkup("<A href=\"E\">Beispieltext mit Bild einbauen</A>");
  exampleLink_->move(312, 39);
  exampleLink_->adjustSize();
  connect(exampleLink_, &HtmlLinkLabel::anchorClicked, this,
          [this] { Guarded([&] { form_->LinkLabel1AnchorClick(); }); });

  AddLabel("Ausgabefilter:", true)->move(30, 55);
  AddLabel("Zieleigenschaften:", true)->move(30, 166);
  for (const FieldPlace& place : kFieldPlaces) {
    AddFieldLabel(LabelOf(place.field), place.top);
    auto* combo = new SetupComboBox(this);
    combo->setFont(fieldFont);
    combo->setGeometry(kFieldLeft, place.top, kFieldWidth, kFieldHeight);
    combo->installEventFilter(this);
    combo->lineEdit()->installEventFilter(this);
    fields_[static_cast<size_t>(place.field)] = combo;
  }
  // Tab goes down the dialog: the name, the check box, then the drop-downs.
  setTabOrder(name_, forbidden_);
  QWidget* previous = forbidden_;
  for (const FieldPlace& place : kFieldPlaces) {
    QWidget* next = fields_[static_cast<size_t>(place.field)];
    setTabOrder(previous, next);
    previous = next;
  }

  connect(Field(SetupField::Printer), &QComboBox::editTextChanged, this,
          [this] { Guarded([&] { form_->DCCChange(); }); });
  connect(Field(SetupField::Bin), &QComboBox::editTextChanged, this, [this] { Guarded([&] { form_->BinChange(); }); });
  for (SetupField layout : {SetupField::FilterLayoutName, SetupField::SuperLayoutname}) {
    connect(Field(layout), &QComboBox::editTextChanged, this,
            [this, layout] { Guarded([&] { form_->LayoutNameChange(layout); }); });
  }

  storageLink_ = new HtmlLinkLabel(this);
  storageLink_->setWordWrap(false);
  storageLink_->setMarkup(Ansi(u8"<A href=\"O\">Speicherort öffnen</A>"));
  storageLink_->move(24, 410);
  storageLink_->adjustSize();
  connect(storageLink_, &HtmlLinkLabel::anchorClicked, this,
          [this](const QString& target) { Guarded([&] { form_->LinkLabel2AnchorClick(ToAnsi(target)); }); });

  actions_ = new QComboBox(this);
  QFont actionFont = UiFont(9, true);
  actions_->setFont(actionFont);
  QPalette red = actions_->palette();
  red.setColor(QPalette::ButtonText, kWarningRed);
  red.setColor(QPalette::Text, kWarningRed);
  actions_->setPalette(red);
  actions_->setGeometry(236, 411, kActionWidth, kFieldHeight);
  actions_->setFocusPolicy(Qt::ClickFocus);  // not reached with Tab
  connect(actions_, qOverload<int>(&QComboBox::currentIndexChanged), this,
          [this] { Guarded([&] { form_->ComboBoxActionChange(); }); });
}

SetupComboBox* SetupDialog::Field(SetupField field) const {
  return field == SetupField::Name ? nullptr : fields_[static_cast<size_t>(field)];
}

void SetupDialog::ShowModal() { exec(); }

void SetupDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (shownOnce_) return;
  shownOnce_ = true;
  if (QScreen* screen = this->screen()) move(screen->availableGeometry().center() - rect().center());
  Guarded([&] { form_->FormShow(); });
  name_->setFocus();
}

bool SetupDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && form_->DCCKeyPress() && !KeyKeepsValue(*static_cast<QKeyEvent*>(event)))
    return true;  // read-only: the key changes nothing
  return QDialog::eventFilter(watched, event);
}

// ---- ISetupView ----

std::string SetupDialog::FieldText(SetupField field) const {
  if (field == SetupField::Name) return ToAnsi(name_->text());
  return ToAnsi(Field(field)->currentText());
}

void SetupDialog::SetFieldText(SetupField field, const std::string& text) {
  if (field == SetupField::Name) name_->setText(FromAnsi(text));
  else Field(field)->setEditText(FromAnsi(text));
}

void SetupDialog::SetFieldItems(SetupField field, const std::vector<std::string>& items) {
  SetupComboBox* combo = Field(field);
  if (combo == nullptr) return;
  // Replacing the list must neither change the field's text nor count as the user's change.
  const QSignalBlocker blocker(combo);
  const QString text = combo->currentText();
  combo->clear();
  for (const std::string& item : items) combo->addItem(FromAnsi(item));
  combo->setCurrentIndex(-1);
  combo->setEditText(text);
}

bool SetupDialog::ForbiddenChecked() const { return forbidden_->isChecked(); }
void SetupDialog::SetForbiddenChecked(bool checked) { forbidden_->setChecked(checked); }

void SetupDialog::SetFieldsReadOnly(bool readOnly) {
  name_->setReadOnly(readOnly);
  forbidden_->setEnabled(!readOnly);
  for (SetupComboBox* combo : fields_)
    if (combo) combo->setReadOnly(readOnly);
}

void SetupDialog::SetFieldWarning(SetupField field, bool warning) {
  SetupComboBox* combo = Field(field);
  if (combo == nullptr) return;
  QPalette colours = combo->lineEdit()->palette();
  colours.setColor(QPalette::Text, warning ? kWarningRed : QColor(Qt::black));
  combo->lineEdit()->setPalette(colours);
}

void SetupDialog::SetActionItems(const std::vector<std::string>& items) {
  const QSignalBlocker blocker(actions_);
  actions_->clear();
  for (const std::string& item : items) actions_->addItem(FromAnsi(item));
}

int SetupDialog::ActionIndex() const { return actions_->currentIndex(); }

void SetupDialog::SetActionIndex(int index) {
  const QSignalBlocker blocker(actions_);
  actions_->setCurrentIndex(index);
}

}  // namespace wb::gui
