// Feeds arbitrary bytes to the record-store file parser. Whatever loads
// must save, and load back to the same stores and the same bytes.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "java/lang/Exceptions.h"
#include "javax/microedition/rms/RecordStoreFile.h"

using javax::microedition::rms::RecordStoreFile;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<RecordStoreFile::Store> stores;
    try {
        stores = RecordStoreFile::parse(std::span<const std::uint8_t>(data, size));
    } catch (const java::io::IOException&) {
        return 0;
    }
    const std::vector<std::uint8_t> image = RecordStoreFile::serialize(stores);
    const std::vector<RecordStoreFile::Store> again = RecordStoreFile::parse(image);
    if (again != stores) std::abort();
    if (RecordStoreFile::serialize(again) != image) std::abort();
    return 0;
}
