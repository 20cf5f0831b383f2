#include "platform/dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include "platform/number_text.h"
#include "platform/qt_translations.h"
#include "platform/text_codec.h"

namespace {

// Line breaks as the widgets keep them: "\r\n" and a lone "\r" become "\n".
QString ToWidgetLines(QString text) {
  text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return text;
}

}  // namespace

int ParseLeadingInt(const QString& text) {
  return ParseLeadingInt(reinterpret_cast<const char16_t*>(text.utf16()),
                         static_cast<size_t>(text.size()));
}

CDialog::CDialog(int templateId, QWidget* parent)
    : CDialog(FindDialogTemplate(templateId), parent) {}

CDialog::CDialog(const DialogTemplate* dialogTemplate, QWidget* parent)
    : QDialog(parent), template_(dialogTemplate) {
  BuildControls();
}

CDialog::~CDialog() = default;

void CDialog::BuildControls() {
  if (template_ == nullptr) return;
  const CodePage page = template_->codePage;
  setWindowTitle(DecodeText(template_->caption, page));
  for (size_t i = 0; i < template_->controlCount; ++i) {
    const DialogControl& c = template_->controls[i];
    const QString text = ToWidgetLines(DecodeText(c.text, page));
    QWidget* widget = nullptr;
    int width = c.width;
    int height = c.height;
    switch (c.kind) {
      case DialogControlKind::kPushButton:
      case DialogControlKind::kDefPushButton: {
        // OK and Cancel are the standard buttons, in Qt's words for them.
        const bool standard = (c.id == IDOK || c.id == IDCANCEL) && c.text != nullptr;
        auto* button = new QPushButton(standard ? QtButtonText(c.text) : text, this);
        // Enter is handled by the dialog itself, never by the focused button.
        button->setAutoDefault(false);
        if (c.kind == DialogControlKind::kDefPushButton) {
          button->setDefault(true);
          defaultId_ = c.id;
        }
        const int id = c.id;
        connect(button, &QPushButton::clicked, this, [this, id] { OnCommand(id); });
        widget = button;
        break;
      }
      case DialogControlKind::kCheckBox: {
        auto* box = new QCheckBox(text, this);
        const int id = c.id;
        connect(box, &QCheckBox::clicked, this, [this, id] { OnCommand(id); });
        widget = box;
        break;
      }
      case DialogControlKind::kRadioButton: {
        // Radio buttons with the same parent exclude each other.
        auto* radio = new QRadioButton(text, this);
        const int id = c.id;
        connect(radio, &QRadioButton::clicked, this, [this, id] { OnCommand(id); });
        widget = radio;
        break;
      }
      case DialogControlKind::kDropDownList:
        widget = new QComboBox(this);
        break;
      case DialogControlKind::kSlider:
        widget = new QSlider(Qt::Horizontal, this);
        break;
      case DialogControlKind::kStaticText: {
        auto* label = new QLabel(this);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setText(text);
        widget = label;
        break;
      }
      case DialogControlKind::kStaticPicture: {
        auto* label = new QLabel(this);
        const QPixmap picture(QStringLiteral(":/bitmaps/%1").arg(c.bitmapId));
        // A missing bitmap leaves the place empty.
        if (!picture.isNull()) label->setPixmap(picture);
        if (width == 0 && height == 0) {
          width = picture.width();
          height = picture.height();
        }
        widget = label;
        break;
      }
      case DialogControlKind::kEdit:
        widget = new QLineEdit(text, this);
        break;
      case DialogControlKind::kMultiLineEdit:
        widget = new QPlainTextEdit(text, this);
        break;
      case DialogControlKind::kGroupBox: {
        auto* box = new QGroupBox(text, this);
        box->lower();
        widget = box;
        break;
      }
    }
    if (widget == nullptr) continue;  // a kind this build does not know
    widget->setGeometry(c.x, c.y, width, height);
    if (c.id != kControlNoId) items_[c.id] = widget;
  }
  if (template_->style & kDialogResizable) {
    resize(template_->width, template_->height);
  } else {
    setFixedSize(template_->width, template_->height);
  }
}

int CDialog::DoModal() {
  OnInitDialog();
  modalRun_ = true;
  setModal(true);
  const int code = exec();
  modalRun_ = false;
  return code;
}

bool CDialog::Create(QWidget* parent) {
  if (parent != parentWidget()) setParent(parent, windowFlags());
  setModal(false);
  OnInitDialog();
  return true;
}

void CDialog::EndDialog(int code) {
  if (modalRun_) {
    done(code);
  } else {
    close();
  }
}

bool CDialog::OnInitDialog() { return true; }

void CDialog::OnOK() { EndDialog(IDOK); }

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::OnCommand(int id) {
  if (id == IDOK) {
    OnOK();
  } else if (id == IDCANCEL) {
    OnCancel();
  }
}

void CDialog::OnClose() {}

void CDialog::accept() { OnOK(); }

void CDialog::reject() { OnCancel(); }

QWidget* CDialog::GetDlgItem(int id) const {
  const auto found = items_.find(id);
  return found == items_.end() ? nullptr : found->second;
}

void CDialog::SetDlgItemText(int id, const QString& text) {
  QWidget* item = GetDlgItem(id);
  const QString lines = ToWidgetLines(text);
  if (auto* edit = qobject_cast<QLineEdit*>(item)) {
    edit->setText(lines);
  } else if (auto* multi = qobject_cast<QPlainTextEdit*>(item)) {
    multi->setPlainText(lines);
  } else if (auto* label = qobject_cast<QLabel*>(item)) {
    label->setText(lines);
  } else if (auto* button = qobject_cast<QAbstractButton*>(item)) {
    button->setText(lines);
  } else if (auto* box = qobject_cast<QGroupBox*>(item)) {
    box->setTitle(lines);
  }
}

QString CDialog::GetDlgItemText(int id) const {
  QWidget* item = GetDlgItem(id);
  if (auto* edit = qobject_cast<QLineEdit*>(item)) return edit->text();
  if (auto* multi = qobject_cast<QPlainTextEdit*>(item)) {
    QString text = multi->toPlainText();
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return text;
  }
  if (auto* label = qobject_cast<QLabel*>(item)) return label->text();
  if (auto* button = qobject_cast<QAbstractButton*>(item)) return button->text();
  if (auto* box = qobject_cast<QGroupBox*>(item)) return box->title();
  return QString();
}

int CDialog::GetDlgItemInt(int id) const { return ParseLeadingInt(GetDlgItemText(id)); }

void CDialog::SetDlgItemInt(int id, int value) { SetDlgItemText(id, QString::number(value)); }

void CDialog::CheckDlgButton(int id, int check) {
  auto* box = qobject_cast<QAbstractButton*>(GetDlgItem(id));
  if (box == nullptr || !box->isCheckable()) return;
  if (check == 0 && qobject_cast<QRadioButton*>(box) != nullptr) {
    // An exclusive group refuses to uncheck its checked radio by itself.
    box->setAutoExclusive(false);
    box->setChecked(false);
    box->setAutoExclusive(true);
  } else {
    box->setChecked(check != 0);
  }
}

int CDialog::IsDlgButtonChecked(int id) const {
  auto* box = qobject_cast<QAbstractButton*>(GetDlgItem(id));
  return box != nullptr && box->isCheckable() && box->isChecked() ? 1 : 0;
}

void CDialog::SetWindowText(const QString& text) { setWindowTitle(text); }

void CDialog::keyPressEvent(QKeyEvent* event) {
  const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
  if (!plain) {
    QWidget::keyPressEvent(event);
    return;
  }
  switch (event->key()) {
    case Qt::Key_Escape:
      OnCancel();
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (defaultId_ == 0) {
        OnOK();
      } else if (QWidget* button = GetDlgItem(defaultId_);
                 button != nullptr && button->isEnabled()) {
        OnCommand(defaultId_);
      }
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}

void CDialog::closeEvent(QCloseEvent* event) {
  if (modalRun_) {
    OnCancel();
    // A derived OnCancel may refuse to end the dialog.
    if (isVisible()) {
      event->ignore();
    } else {
      event->accept();
    }
    return;
  }
  OnClose();
  event->accept();
}
