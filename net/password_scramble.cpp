#include "net/password_scramble.h"

#include <cstring>

namespace lumetra {
namespace {

// The characters a password may hold.
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_.";
constexpr size_t kAlphabetSize = sizeof kAlphabet - 1;

// Table t maps the alphabet character at position j to kTables[t][j]. Each table holds every
// alphabet character once, so a substitute is found at one position only.
constexpr char kTables[kScrambleTables][kAlphabetSize + 1] = {
    "pkceEKQ9jbCiYvdR7ISqnNoZ45g1fGlu_0PAUM26LFx-yWaDHmT.sOBV83wtXJzhr",
    "3RlvpMf.xnWGwQFK6oEaOT9ZYIjgcedJCb25X8PBi-AhNsUutS0qz7rLmkHD_yV41",
    "pLg8Omoxb63nhdQFu_i7fRPqeBTCIZl.W-1JUNKM9ASGaXYEsrVy2wzctD5j04vHk",
    "NqQ3YeprzHg5TElKxiw2_4oFJOV87-ZMSasRvCuLc9j0.nB6bdhPtWmUIkyX1GAfD",
    "0DXfzYGq1gOLjCBoI-MJxVN9kcaFhmv5H7T8Wly6idK.SQbu3wpPtrEZ_2eA4RnUs",
    "qNaB.PJI0HDbC2v6nY-OFU31RQ7LKw5TmMWAdlk4jsXeu98gVihtycZzGr_xfEpSo",
    "mPJs3rhpjfkyS7a1GWIYDw_UdR4CtKlzX0bg.nLN5ci2VTF-ZqAMQOx8uHoB9veE6",
    "uRNXW4-8FJMQvL_eGzryk53qKfHOpPm1o60xU9bg2ji.BslcDAEVantSdhZI7CwTY",
    "JOpz0lc-6Ct7woUhQRAF_v.xZM52jYL1ke9ms4VK8NWIyDgnqrHS3EbTXBfduaiGP",
    "IbVmB45g08xL7M1N6ayGZW.K-YAldO_2pqjcTRQfSnU3HkhriewF9DPouCvztXJsE",
    "mu2iXjrltG0xEW6Fp9YN.zsav7QcdC5BfTh_LAVnHZOek1DbK34USgyIR8MwJoqP-",
    "MnZcmK7Y6uP-1WbNBv_.dXCQ9Lpi0sa2FJgVeTwt4AUE8IklfDjzRyGHq5OrxS3ho",
    "_f3P6ZEbKNVz4DQrFhtHn8oec-xTgw0yiYRSMsq17Il9juAGXUvkJ5maWBdpOL.C2",
    "lDdaJbg23H8vM41q_mw95Y7OWz-si6h0rpekxGVtoZcIfKuAnSBjPCEyRNTUXLFQ.",
    "zcL4mv5E_6tHf-7aobD.jhVFxkNY3BROr0Qniq9GKPAle1IW8spgyuZCJUw2XSMdT",
    "P0T1RyxqKNpkZHmlBE6f8IJbr.s5XgQenjuY93SLvVCMF4waWi2Gzh-A7dcUDtoO_",
    "9oI4sAYqNJ.35VGXO7S_eUdjWP8pmK2aB1gu-wQHnxifkEZrRFvhcDT6CyzML0blt",
    "6-Ctk1795bTgyzvPNfOsMK0xh8XoI4JjFL.32HYwBWQADpZlqcamV_udGRSneUEir",
    "V6FO3sgYfoSntGLXRE5wealH4QxpdBu9UhqZjr1zWN8Cm0cMyP72vkTI-_AKbJiD.",
    "SrLbY2ZWeJ1mpzE84hjVRdMwakKquF5B.36OT0IDfPx-oQH_GciXNCUAg79nystlv"};

static_assert(kAlphabetSize == 65, "the alphabet has 65 characters");

int PositionIn(const char* table, char c) {
    const void* found = std::memchr(table, c, kAlphabetSize);
    return found ? static_cast<int>(static_cast<const char*>(found) - table) : -1;
}

}  // namespace

bool ScramblePassword(const std::string& plain, const std::function<unsigned()>& draw, std::string& stored) {
    std::string out;
    out.reserve(plain.size() * 2);
    for (char c : plain) {
        const unsigned table = draw() % kScrambleTables;
        const int j = PositionIn(kAlphabet, c);
        if (j < 0) return false;
        out.push_back(static_cast<char>('A' + table));
        out.push_back(kTables[table][j]);
    }
    stored = out;
    return true;
}

std::string UnscramblePassword(const std::string& stored) {
    std::string plain;
    for (size_t i = 0; i + 1 < stored.size(); i += 2) {
        const char letter = stored[i];
        if (letter < 'A' || letter >= 'A' + static_cast<int>(kScrambleTables)) return {};
        const int j = PositionIn(kTables[letter - 'A'], stored[i + 1]);
        if (j < 0) return {};
        plain.push_back(kAlphabet[j]);
    }
    return plain;
}

}  // namespace lumetra
