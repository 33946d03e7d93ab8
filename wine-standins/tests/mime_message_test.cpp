#include "wine-standins/core/mime_message.h"

#include <gtest/gtest.h>

namespace lumetra::standins {
namespace {

std::string Base64Of(const std::string& s) { return Base64(reinterpret_cast<const uint8_t*>(s.data()), s.size()); }

TEST(MimeMessage, Base64Padding) {
    EXPECT_EQ(Base64Of(""), "");
    EXPECT_EQ(Base64Of("f"), "Zg==");
    EXPECT_EQ(Base64Of("fo"), "Zm8=");
    EXPECT_EQ(Base64Of("foo"), "Zm9v");
    EXPECT_EQ(Base64Of(std::string("\xff\xfe\x00", 3)), "//4A");
    EXPECT_EQ(Base64Of("\xff\xfe"), "//4=");
}

TEST(MimeMessage, TextAndAttachmentsInBase64Parts) {
    MailContent mail;
    mail.from = "a@localhost";
    mail.to = {"b@example.org"};
    mail.subject = "Hello";
    mail.text = "line\nline";
    mail.attachments.push_back({"x.bmp", {'B', 'M', 0}});
    std::string m = BuildMimeMessage(mail);
    EXPECT_NE(m.find("To: b@example.org\r\n"), std::string::npos);
    EXPECT_NE(m.find("Subject: Hello\r\n"), std::string::npos);
    EXPECT_NE(m.find(Base64Of("line\nline") + "\r\n"), std::string::npos);
    EXPECT_NE(m.find("filename=\"x.bmp\""), std::string::npos);
    EXPECT_NE(m.find("Qk0A\r\n"), std::string::npos);
    EXPECT_EQ(m.find('\n'), m.find("\r\n") + 1);
}

TEST(MimeMessage, LongPartsWrapAt76) {
    MailContent mail;
    mail.text = std::string(300, 'x');
    std::string m = BuildMimeMessage(mail);
    size_t start = m.find(Base64Of("xxx"));
    ASSERT_NE(start, std::string::npos);
    EXPECT_EQ(m.find("\r\n", start) - start, 76u);
}

TEST(MimeMessage, DotStuffing) {
    EXPECT_EQ(DotStuff(".a\r\n.\r\nb.c\r\n"), "..a\r\n..\r\nb.c\r\n");
}

}  // namespace
}  // namespace lumetra::standins
