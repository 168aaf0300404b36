#include "pruebas/guion.h"

#include <cstdlib>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "ui/msgbox.h"

namespace pruebas {

bool RespuestasDelEntorno(const char* variable) {
    const char* v = std::getenv(variable);
    if (!v) return false;
    std::vector<int> answers;
    std::stringstream ss(v);
    std::string item;
    while (std::getline(ss, item, ',')) {
        try {
            if (!item.empty()) answers.push_back(std::stoi(item));
        } catch (const std::exception&) {
            std::cerr << variable << ": respuesta no válida \"" << item << "\"" << std::endl;
        }
    }
    static std::unique_ptr<ui::ScriptedAnswers> script;
    script = std::make_unique<ui::ScriptedAnswers>(std::move(answers), true);
    return true;
}

}  // namespace pruebas
