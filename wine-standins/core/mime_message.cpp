#include "wine-standins/core/mime_message.h"

namespace lumetra::standins {
namespace {

const char kBoundary[] = "=_lumetra_test_mail_boundary";
constexpr size_t kLineLength = 76;

void AppendWrapped(std::string& out, const std::string& encoded) {
    for (size_t i = 0; i < encoded.size(); i += kLineLength) {
        out += encoded.substr(i, kLineLength);
        out += "\r\n";
    }
}

}  // namespace

std::string Base64(const uint8_t* data, size_t size) {
    static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((size + 2) / 3 * 4);
    for (size_t i = 0; i < size; i += 3) {
        uint32_t chunk = static_cast<uint32_t>(data[i]) << 16;
        if (i + 1 < size) chunk |= static_cast<uint32_t>(data[i + 1]) << 8;
        if (i + 2 < size) chunk |= data[i + 2];
        out += kDigits[chunk >> 18 & 63];
        out += kDigits[chunk >> 12 & 63];
        out += i + 1 < size ? kDigits[chunk >> 6 & 63] : '=';
        out += i + 2 < size ? kDigits[chunk & 63] : '=';
    }
    return out;
}

std::string BuildMimeMessage(const MailContent& mail) {
    std::string m;
    m += "From: " + mail.from + "\r\n";
    m += "To: ";
    for (size_t i = 0; i < mail.to.size(); ++i) m += (i ? ", " : "") + mail.to[i];
    m += "\r\n";
    m += "Subject: " + mail.subject + "\r\n";
    m += "MIME-Version: 1.0\r\n";
    m += std::string("Content-Type: multipart/mixed; boundary=\"") + kBoundary + "\"\r\n\r\n";
    m += std::string("--") + kBoundary + "\r\n";
    m += "Content-Type: text/plain; charset=windows-1252\r\nContent-Transfer-Encoding: base64\r\n\r\n";
    AppendWrapped(m, Base64(reinterpret_cast<const uint8_t*>(mail.text.data()), mail.text.size()));
    for (const MailAttachment& a : mail.attachments) {
        m += std::string("--") + kBoundary + "\r\n";
        m += "Content-Type: application/octet-stream; name=\"" + a.name + "\"\r\n";
        m += "Content-Disposition: attachment; filename=\"" + a.name + "\"\r\n";
        m += "Content-Transfer-Encoding: base64\r\n\r\n";
        AppendWrapped(m, Base64(a.bytes.data(), a.bytes.size()));
    }
    m += std::string("--") + kBoundary + "--\r\n";
    return m;
}

std::string DotStuff(const std::string& message) {
    std::string out;
    out.reserve(message.size());
    bool lineStart = true;
    for (char c : message) {
        if (lineStart && c == '.') out += '.';
        out += c;
        lineStart = c == '\n';
    }
    return out;
}

}  // namespace lumetra::standins
