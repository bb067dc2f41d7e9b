#include "ObQtTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
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
// any test runs. Off screen unless the environment names a platform: listing the tests or running
// the binary by hand needs no display, and no window or dialog ever waits for a person.
int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    testing::InitGoogleTest(&argc, argv);
    ObQtTestApp app(argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new AppStandsAside(&app));
    return RUN_ALL_TESTS();
}
