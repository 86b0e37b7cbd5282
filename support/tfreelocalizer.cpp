#include "support/tfreelocalizer.h"

#include "core/resourcestrings.h"
#include "support/languagevalue.h"

#include <QFile>
#include <QStringDecoder>

namespace velmora::support {

namespace {
const QByteArray kBom("\xEF\xBB\xBF");
const QString kResourceHeader = QStringLiteral("[RESOURCESTRINGS]");

// The line as text, or nothing when it is not valid UTF-8.
std::optional<QString> DecodeLine(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

bool IsDecimal(QStringView text) {
    if (text.isEmpty() || text.size() > 9)
        return false;
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

QString TrimEnd(QString text) {
    while (!text.isEmpty() && text.back().isSpace())
        text.chop(1);
    return text;
}
} // namespace

const QString& TFreeLocalizer::Signature() {
    static const QString signature = QStringLiteral("; Tarvo's Zendra Localizer Language File.");
    return signature;
}

const QString& TFreeLocalizer::DefaultMarker() {
    static const QString marker = QStringLiteral("\\");
    return marker;
}

TFreeLocalizer::TFreeLocalizer() : m_crMarker(DefaultMarker()), m_crlfMarker(DefaultMarker()) {}

TFreeLocalizer::~TFreeLocalizer() {
    if (m_translatorInstalled)
        core::SetResourceTranslator({});
}

void TFreeLocalizer::SetAutoTranslate(bool on) {
    if (m_autoTranslate == on)
        return;
    m_autoTranslate = on;
    if (m_host)
        m_host->AutoTranslateChanged(on);
}

void TFreeLocalizer::SetFormHost(FormHost* host) {
    if (m_host && m_autoTranslate)
        m_host->AutoTranslateChanged(false);
    m_host = host;
    if (m_host && m_autoTranslate)
        m_host->AutoTranslateChanged(true);
}

void TFreeLocalizer::InstallResourceTranslator() {
    m_translatorInstalled = true;
    core::SetResourceTranslator([this](int id) -> std::optional<QString> {
        std::optional<QString> text = m_stringer.Lookup(id);
        if (text) {
            text->replace(QLatin1String("\r\n"), QLatin1String("\n"));
            text->replace(QLatin1Char('\r'), QLatin1Char('\n'));
        }
        return text;
    });
}

const FormSection* TFreeLocalizer::Section(const QString& name) const {
    for (const FormSection& section : m_sections) {
        if (section.name.compare(name, Qt::CaseInsensitive) == 0)
            return &section;
    }
    return nullptr;
}

void TFreeLocalizer::Report(LocalizerErrorKind kind, int line, const QString& detail) {
    m_errors.push_back({kind, line, detail});
}

void TFreeLocalizer::ReadOptions(const QList<QByteArray>& lines) {
    m_humanize = false;
    m_crMarker = DefaultMarker();
    m_crlfMarker = DefaultMarker();
    // The first line with a name counts, as for any key/value list.
    auto value = [&lines](QLatin1String name) -> std::optional<QString> {
        for (const QByteArray& line : lines) {
            const qsizetype eq = line.indexOf('=');
            if (eq > 0 &&
                QLatin1String(line.constData(), eq).compare(name, Qt::CaseInsensitive) == 0)
                return DecodeLine(line.mid(eq + 1)).value_or(QString());
        }
        return std::nullopt;
    };
    m_humanize = value(QLatin1String("Humanize")) == QStringLiteral("1");
    // An empty marker would mark every position; it leaves the marker as it was.
    if (auto divider = value(QLatin1String("HumanizeDivider")); divider && !divider->isEmpty())
        m_crMarker = m_crlfMarker = *divider;
    if (auto cr = value(QLatin1String("HumanizedCR")); cr && !cr->isEmpty())
        m_crMarker = *cr;
    if (auto crlf = value(QLatin1String("HumanizedCRLF")); crlf && !crlf->isEmpty())
        m_crlfMarker = *crlf;
}

std::optional<QString> TFreeLocalizer::DecodeValue(const QString& value,
                                                   bool resourceString) const {
    if (!m_humanize)
        return DecodeQuotedValue(value);
    return DecodeHumanizedValue(value, m_crMarker, m_crlfMarker,
                                resourceString ? ValueContext::ResourceString : ValueContext::Form);
}

void TFreeLocalizer::LoadLanguageFile(const QString& name) {
    m_errors.clear();
    QString path = name;
    if (!m_languageDir.isEmpty()) {
        QString dir = m_languageDir;
        if (!dir.endsWith(QLatin1Char('/')) && !dir.endsWith(QLatin1Char('\\')))
            dir += QLatin1Char('/');
        path = dir + name;
    }
    if (!path.endsWith(QLatin1String(".lng"), Qt::CaseInsensitive))
        path += QLatin1String(".lng");

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        // Nothing is read, so nothing of the previous file is given up either.
        Report(LocalizerErrorKind::FileUnreadable, 0,
               path + QStringLiteral(": ") + file.errorString());
        return;
    }
    QList<QByteArray> lines = file.readAll().split('\n');
    file.close();
    for (QByteArray& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }

    m_sections.clear();
    QByteArray first = lines.isEmpty() ? QByteArray() : lines.front();
    if (first.startsWith(kBom))
        first.remove(0, kBom.size());
    if (first != Signature().toUtf8()) {
        Report(LocalizerErrorKind::BadSignature, 1, QString::fromUtf8(first.left(80)));
        return;
    }
    ReadOptions(lines);

    enum class In { Nothing, Form, Resources } in = In::Nothing;
    bool resourcesMet = false;
    bool complete = true;
    for (qsizetype i = 1; i < lines.size() && complete; ++i) {
        const QByteArray& bytes = lines[i];
        const int lineNo = int(i + 1);
        if (bytes.isEmpty() || bytes.startsWith(';'))
            continue;
        if (bytes.startsWith('[')) {
            const QString header = TrimEnd(QString::fromUtf8(bytes));
            if (header.compare(kResourceHeader, Qt::CaseInsensitive) == 0) {
                in = In::Resources;
                resourcesMet = true;
                m_stringer.Clear();
            } else if (header.mid(1, 3) == QLatin1String("(x)")) {
                Report(LocalizerErrorKind::DeletedWindow, lineNo, header);
                complete = false;
            } else {
                in = In::Form;
                m_sections.push_back({header.mid(1, header.size() - 2), {}, {}});
            }
            continue;
        }
        if (in == In::Nothing)
            continue; // options and stray lines before the first section
        const std::optional<QString> line = DecodeLine(bytes);
        if (!line) {
            Report(LocalizerErrorKind::InvalidUtf8, lineNo, {});
            continue;
        }
        if (line->startsWith(QLatin1Char('('))) {
            Report(LocalizerErrorKind::SkippedLine, lineNo, *line);
            continue;
        }
        complete = in == In::Form ? ReadFormLine(*line, lineNo, m_sections.back())
                                  : ReadResourceLine(*line, lineNo);
    }
    if (resourcesMet)
        m_stringer.SetActive(!m_stringer.Entries().empty());
    if (!complete)
        return;
    m_languageFile = path;
    if (m_autoTranslate && m_host)
        m_host->TranslateAllForms();
}

bool TFreeLocalizer::ReadFormLine(const QString& line, int lineNo, FormSection& section) {
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0) {
        Report(LocalizerErrorKind::BadLine, lineNo, line);
        return true;
    }
    QString key = line.left(eq);
    const qsizetype brace = key.indexOf(QLatin1Char('{'));
    if (brace >= 0)
        key.truncate(brace);
    key = key.trimmed();
    if (key.isEmpty()) {
        Report(LocalizerErrorKind::BadLine, lineNo, line);
        return false;
    }
    std::optional<QString> value = DecodeValue(line.mid(eq + 1), false);
    if (!value) {
        Report(LocalizerErrorKind::BadValue, lineNo, line);
        return false;
    }
    section.paths.append(key);
    section.values.append(*value);
    return true;
}

bool TFreeLocalizer::ReadResourceLine(const QString& line, int lineNo) {
    const qsizetype underscore = line.indexOf(QLatin1Char('_'));
    const QStringView idText = underscore < 0 ? QStringView() : QStringView(line).left(underscore);
    if (!IsDecimal(idText)) {
        // Such a line could never be asked for; kept out of the table, it cannot disturb
        // the search for the others.
        Report(LocalizerErrorKind::BadResourceId, lineNo, line);
        return true;
    }
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0) {
        Report(LocalizerErrorKind::BadLine, lineNo, line);
        return true;
    }
    std::optional<QString> value = DecodeValue(line.mid(eq + 1), true);
    if (!value) {
        Report(LocalizerErrorKind::BadValue, lineNo, line);
        return false;
    }
    m_stringer.Append(idText.toInt(), *value);
    return true;
}

void TFreeLocalizer::TranslateForm(FormAccess& form) {
    const QStringList chain = form.ClassChain();
    TranslateClass(form, chain, 0);
}

void TFreeLocalizer::TranslateClass(FormAccess& form, const QStringList& chain, qsizetype index) {
    if (index + 1 >= chain.size()) {
        // The oldest class of the window: its frames come first, each on its own.
        for (const std::unique_ptr<FormAccess>& frame : form.Frames())
            TranslateForm(*frame);
    } else {
        TranslateClass(form, chain, index + 1);
    }
    if (index < chain.size())
        ApplySection(form, chain[index]);
}

void TFreeLocalizer::ApplySection(FormAccess& form, const QString& className) {
    const FormSection* section = Section(className);
    if (!section)
        return;
    for (qsizetype i = 0; i < section->paths.size(); ++i) {
        if (!form.Apply(section->paths[i], section->values[i]))
            Report(LocalizerErrorKind::UnknownProperty, 0,
                   className + QLatin1Char('.') + section->paths[i]);
    }
}

} // namespace velmora::support
