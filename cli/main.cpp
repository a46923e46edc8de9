#include <cstdio>
#include "memory_form.h"
#include "resource.h"
int main() {
    vessane::MemoryForm form(true);
    form.Initialise();
    std::puts(form.Text(IDC_RESULT).c_str());
}
