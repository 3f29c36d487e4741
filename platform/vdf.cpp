#include "vdf.h"

namespace Vdf {

namespace {

constexpr int kMaxDepth = 64;

class Lexer
{
public:
    explicit Lexer(const QByteArray &text)
        : m_text(text)
    {
    }

    enum Kind { End, Open, Close, Token };

    // The next token; a quoted string may run to the end of the text when its
    // closing quote is missing.
    Kind next(QString *token)
    {
        skipSpaceAndComments();
        if (m_pos >= m_text.size())
            return End;
        const char c = m_text.at(m_pos);
        if (c == '{') {
            ++m_pos;
            return Open;
        }
        if (c == '}') {
            ++m_pos;
            return Close;
        }
        QByteArray bytes;
        if (c == '"') {
            ++m_pos;
            while (m_pos < m_text.size() && m_text.at(m_pos) != '"') {
                char ch = m_text.at(m_pos++);
                if (ch == '\\' && m_pos < m_text.size()) {
                    ch = m_text.at(m_pos++);
                    if (ch == 'n')
                        ch = '\n';
                    else if (ch == 't')
                        ch = '\t';
                }
                bytes += ch;
            }
            if (m_pos < m_text.size())
                ++m_pos;
        } else {
            while (m_pos < m_text.size()) {
                const char ch = m_text.at(m_pos);
                if (isSpace(ch) || ch == '{' || ch == '}' || ch == '"')
                    break;
                bytes += ch;
                ++m_pos;
            }
        }
        *token = QString::fromUtf8(bytes);
        return Token;
    }

private:
    static bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

    void skipSpaceAndComments()
    {
        while (m_pos < m_text.size()) {
            const char c = m_text.at(m_pos);
            if (isSpace(c)) {
                ++m_pos;
            } else if (c == '/' && m_pos + 1 < m_text.size() && m_text.at(m_pos + 1) == '/') {
                while (m_pos < m_text.size() && m_text.at(m_pos) != '\n')
                    ++m_pos;
            } else {
                return;
            }
        }
    }

    const QByteArray &m_text;
    qsizetype m_pos = 0;
};

bool isNumber(const QString &key)
{
    if (key.isEmpty())
        return false;
    for (const QChar c : key) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

} // namespace

const Node *Node::child(const QString &name) const
{
    for (const Node &node : children) {
        if (node.key.compare(name, Qt::CaseInsensitive) == 0)
            return &node;
    }
    return nullptr;
}

std::optional<Node> parse(const QByteArray &text)
{
    Lexer lexer(text);
    // The open blocks, innermost last; each is appended to its parent when it closes.
    QList<Node> open;
    open.append(Node{{}, {}, {}, true});
    QString key;
    bool haveKey = false;
    for (;;) {
        QString token;
        switch (lexer.next(&token)) {
        case Lexer::End:
            if (open.size() != 1 || haveKey)
                return std::nullopt;
            return open.takeLast();
        case Lexer::Open:
            if (!haveKey || open.size() > kMaxDepth)
                return std::nullopt;
            open.append(Node{key, {}, {}, true});
            haveKey = false;
            break;
        case Lexer::Close: {
            if (haveKey || open.size() == 1)
                return std::nullopt;
            Node done = open.takeLast();
            open.last().children.append(std::move(done));
            break;
        }
        case Lexer::Token:
            if (haveKey) {
                open.last().children.append(Node{key, token, {}, false});
                haveKey = false;
            } else {
                key = token;
                haveKey = true;
            }
            break;
        }
    }
}

QStringList libraryFolders(const QByteArray &text)
{
    QStringList folders;
    const std::optional<Node> root = parse(text);
    if (!root)
        return folders;
    const Node *list = root->child(QStringLiteral("libraryfolders"));
    if (!list || !list->isBlock)
        return folders;
    for (const Node &entry : list->children) {
        if (!isNumber(entry.key))
            continue;
        QString path;
        if (!entry.isBlock) {
            path = entry.value;
        } else if (const Node *p = entry.child(QStringLiteral("path")); p && !p->isBlock) {
            path = p->value;
        }
        if (!path.isEmpty() && !folders.contains(path))
            folders << path;
    }
    return folders;
}

AppManifest appManifest(const QByteArray &text)
{
    AppManifest manifest;
    const std::optional<Node> root = parse(text);
    if (!root)
        return manifest;
    const Node *state = root->child(QStringLiteral("AppState"));
    if (!state || !state->isBlock)
        return manifest;
    if (const Node *id = state->child(QStringLiteral("appid")); id && !id->isBlock && isNumber(id->value))
        manifest.appId = id->value;
    if (const Node *dir = state->child(QStringLiteral("installdir")); dir && !dir->isBlock)
        manifest.installDir = dir->value;
    return manifest;
}

} // namespace Vdf
