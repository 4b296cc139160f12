// bench-channel [ITERATIONS]: times one sealed exchange's local work (SealRequest for a
// category-page URL plus OpenReply of a 180-picture page reply) and, on the same data,
// each primitive it is built from alone, as a share of the whole. Nothing is asserted.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "net/Base64.h"
#include "net/Crypto.h"
#include "net/CryptoProvider.h"
#include "net/Deflate.h"
#include "net/Envelope.h"
#include "net/Text.h"

namespace {

const char kBase[] = "http://content.zindle.test/sublist";
const char kQuery[] =
    "subid=101&page=1&dpi=240&h=00000001000000AB000000AB000000FF&v=pcm10.2.0.1234&sdk=1.0.0.21&pv=WIN";

// A category page reply of 180 pictures, shaped like the content service's.
std::string TypicalPageReply() {
    std::string json = "{\"status\":0,\"data\":{\"totalCount\":1000,\"picList\":[";
    for (int i = 0; i < 180; i++) {
        char id[32];
        std::snprintf(id, sizeof(id), "101_%04d.gif", i + 1);
        if (i) json += ',';
        json += "{\"imageHeight\":96,\"imageSource\":2,\"isSet\":0,";
        json += "\"imageUrl\":\"http://pic.zindle.test/pics/" + std::string(id) + "\",";
        json += "\"tags\":\"\xE5\xBC\x80\xE5\xBF\x83 \xE7\x9C\xA8\xE7\x9C\xBC\",";  // 开心 眨眼
        json += "\"sourceDomain\":\"pic.zindle.test\",\"imageId\":\"" + std::string(id) + "\",";
        json += "\"score\":" + std::to_string(1000 - i) + "}";
    }
    return json + "]}}";
}

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / frequency.QuadPart;
}

// Microseconds per call of `work`, best of three rounds to damp noise from the shared machine.
double MicrosPer(int iterations, const std::function<bool()>& work) {
    double best = 1e30;
    for (int round = 0; round < 3; round++) {
        double start = Now();
        for (int i = 0; i < iterations; i++) {
            if (!work()) {
                std::printf("a step failed\n");
                std::exit(1);
            }
        }
        double each = (Now() - start) * 1e6 / iterations;
        if (each < best) best = each;
    }
    return best;
}

struct Row {
    const char* name;
    double micros;
};

}  // namespace

int main(int argc, char** argv) {
    int iterations = argc > 1 ? std::atoi(argv[1]) : 200;
    if (iterations < 1) iterations = 1;

    // The reply the endpoint would send for fixed keys.
    BYTE iv[kAesIvSize], key[kAesKeySize];
    for (size_t i = 0; i < sizeof(iv); i++) iv[i] = static_cast<BYTE>(i * 7);
    for (size_t i = 0; i < sizeof(key); i++) key[i] = static_cast<BYTE>(i * 13 + 1);
    RequestKeys fixed;
    fixed.Set(iv, key);
    const std::string text = TypicalPageReply();
    std::string stream, cipher;
    if (!RawDeflate(text, stream)) return 1;
    std::string frame = {static_cast<char>(text.size() >> 24), static_cast<char>(text.size() >> 16),
                         static_cast<char>(text.size() >> 8), static_cast<char>(text.size())};
    if (!AesSeal(frame + stream, key, iv, cipher)) return 1;
    const std::string reply = Base64Encode(cipher);

    std::printf("reply: %zu bytes of JSON, %zu deflated, %zu as Base64; %d iterations\n", text.size(),
                stream.size(), reply.size(), iterations);

    const double whole = MicrosPer(iterations, [&] {
        RequestKeys keys;
        std::string body, opened;
        return SealRequest(kBase, kQuery, keys, body) && OpenReply(fixed, reply, opened);
    });

    // The same work, one primitive at a time, on the same inputs.
    std::string baseStream, queryStream, baseCipher, queryCipher, k, v;
    RawDeflate(kBase, baseStream);
    RawDeflate(kQuery, queryStream);
    AesSeal(baseStream, key, iv, baseCipher);
    AesSeal(queryStream, key, iv, queryCipher);
    RsaSeal(std::string(reinterpret_cast<char*>(key), sizeof(key)), k);
    RsaSeal(std::string(reinterpret_cast<char*>(iv), sizeof(iv)), v);
    std::string out;
    const std::vector<Row> parts = {
        {"key bytes (CryptGenRandom)", MicrosPer(iterations, [&] {
             BYTE block[48];
             return RandomBytes(block, sizeof(block));
         })},
        {"RSA seal x2", MicrosPer(iterations, [&] {
             return RsaSeal(std::string(reinterpret_cast<char*>(key), sizeof(key)), out) &&
                    RsaSeal(std::string(reinterpret_cast<char*>(iv), sizeof(iv)), out);
         })},
        {"raw deflate x2 (URL halves)", MicrosPer(iterations, [&] {
             return RawDeflate(kBase, out) && RawDeflate(kQuery, out);
         })},
        {"AES seal x2 (URL halves)", MicrosPer(iterations, [&] {
             return AesSeal(baseStream, key, iv, out) && AesSeal(queryStream, key, iv, out);
         })},
        {"Base64 encode x4 (fields)", MicrosPer(iterations, [&] {
             return !(Base64Encode(k) + Base64Encode(v) + Base64Encode(baseCipher) + Base64Encode(queryCipher))
                         .empty();
         })},
        {"Base64 decode (reply)", MicrosPer(iterations, [&] { return Base64Decode(reply, out); })},
        {"AES open (reply)", MicrosPer(iterations, [&] { return AesOpen(cipher, key, iv, out); })},
        {"raw inflate (reply)", MicrosPer(iterations, [&] {
             return RawInflate(stream.data(), stream.size(), text.size(), out);
         })},
    };
    const double contextAlone = MicrosPer(iterations, [] {
        CryptProvHandle context;
        return AcquireCryptoContext(context);
    });
    const double ansi = MicrosPer(iterations, [&] { return !Utf8ToAnsi(text).empty(); });

    double sum = 0;
    std::printf("\n%-30s %12s %10s\n", "step", "us/exchange", "of whole");
    for (const Row& r : parts) {
        std::printf("%-30s %12.1f %9.1f%%\n", r.name, r.micros, 100.0 * r.micros / whole);
        sum += r.micros;
    }
    std::printf("%-30s %12.1f %9.1f%%\n", "sum of the primitives", sum, 100.0 * sum / whole);
    std::printf("%-30s %12.1f %9s\n", "SealRequest + OpenReply", whole, "100.0%");
    std::printf("\nratio whole / sum of primitives: %.2f\n", whole / sum);
    std::printf("one provider context alone: %.1f us (the exchange takes 6)\n", contextAlone);
    std::printf("reply to code page 936 afterwards (not in the whole): %.1f us\n", ansi);
    return 0;
}
