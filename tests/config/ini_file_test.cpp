#include "config/ini_file.h"

#include "config/errors.h"
#include "temp_home.h"

namespace sievo {
namespace {

class IniFileTest : public testing::TempHomeTest {
protected:
    TIniFile Ini() const { return TIniFile(PathOf("test.ini")); }
};

TEST_F(IniFileTest, NamesMatchAcrossLetterCase) {
    Ini().WriteInteger("PROCEDURECOUNT", "NUMPROCS", 4);
    EXPECT_EQ(Ini().ReadInteger("ProcedureCount", "NumProcs", 0), 4);
    Ini().WriteInteger("ProcedureCount", "NumProcs", 5);
    EXPECT_EQ(ReadFile("test.ini"), "[PROCEDURECOUNT]\r\nNUMPROCS=5\r\n");
}

}  // namespace
}  // namespace sievo
