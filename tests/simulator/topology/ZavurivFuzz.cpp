#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <pugixml.hpp>

#include "common/Exception.h"
#include "simulator/topology/ReaderExercise.h"

// libFuzzer entry: the input is parsed as it comes and every reading runs on a few of the
// nodes it yields. An exception other than the engine's escapes and is reported as a crash.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (unsigned options : {pugi::parse_default, pugi::parse_full}) {
        pugi::xml_document document;
        document.load_buffer(data, size, options);
        for (pugi::xml_node node : {document.document_element(), document.first_child(), document.root()}) {
            netsim::test::exerciseReaders(node, [](const netsim::Exception& e) {
                if (e.message().empty() || e.function().empty()) std::abort();
            });
        }
    }
    return 0;
}
