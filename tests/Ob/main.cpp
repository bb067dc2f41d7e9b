#include "ObQtTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// There may be one application object at a time, and the tests of the application base make
// their own: outside the Qt binding's tests (suites named ObQt...) the folder's application
// object stands aside.
class AppStandsAside : public testing::EmptyTestEventListener
{
public:
    explicit AppStandsAside(ObApp* app) : myApp(app) {}
    void OnTestStart(testing::TestInfo const& test) override
    {
        if (std::string(test.test_suite_name()).rfind("ObQt", 0) != 0)
            ObApp::ourApp = nullptr;
    }
    void OnTestEnd(testing::TestInfo const&) override { ObApp::ourApp = myApp; }

private:
    ObApp* myApp;
};

} // namespace

// The folder's tests share one Qt application object (Qt allows one per process), made before
// any test runs, on the platform the environment names (offscreen under ctest).
int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    ObQtTestApp app(argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new AppStandsAside(&app));
    return RUN_ALL_TESTS();
}
