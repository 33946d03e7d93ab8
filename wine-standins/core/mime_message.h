#pragma once
// The message the test mail client sends: a MIME message with the text and each attachment in
// base64, so that the receiving side gets every byte back exactly.
#include <cstdint>
#include <string>
#include <vector>

namespace lumetra::standins {

struct MailAttachment {
    std::string name;
    std::vector<uint8_t> bytes;
};

struct MailContent {
    std::string from;
    std::vector<std::string> to;
    std::string subject;
    std::string text;
    std::vector<MailAttachment> attachments;
};

std::string Base64(const uint8_t* data, size_t size);
// Header and body lines end in CR LF.
std::string BuildMimeMessage(const MailContent& mail);
// A line that starts with a dot gets another one, as the SMTP DATA command requires.
std::string DotStuff(const std::string& message);

}  // namespace lumetra::standins
