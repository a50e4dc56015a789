// A process with a name of the test's choosing: it sleeps until it is ended.
#include <chrono>
#include <thread>

int main()
{
    for (int i = 0; i < 600; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    return 0;
}
