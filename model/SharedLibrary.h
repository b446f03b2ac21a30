#pragma once
// A system library opened when it is first needed rather than linked, so the
// program starts without loading it. It stays open for the program's life.

#include <dlfcn.h>

namespace model {

class SharedLibrary {
public:
    explicit SharedLibrary(const char *fileName)
        : m_handle(dlopen(fileName, RTLD_NOW | RTLD_LOCAL))
    {
    }
    // Points `function` at the library's function `name`, looked up in the
    // library and what it loaded with it; false when there is none.
    template <typename Function> bool find(Function &function, const char *name) const
    {
        function = m_handle ? reinterpret_cast<Function>(dlsym(m_handle, name)) : nullptr;
        return function != nullptr;
    }

private:
    void *m_handle;
};

} // namespace model
