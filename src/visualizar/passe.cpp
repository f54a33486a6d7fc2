#include "visualizar/passe.hpp"

#include "visualizar/tolerancias.hpp"

void Passe::iniciar(const Movimento& m, double conicidade_raio) {
    antes = m.de;
    tem_inicio = m.de_conhecido;
    linha_antes = m.linha_de;
    linha_inicio = linha_fim = m.linha;
    const double x = m.para.x, y = m.para.y, z = m.para.z;
    erro = erro_coordenada(std::hypot(x, y));
    double r2 = x * x + y * y;
    if (conicidade_raio != 0) {
        const double r = std::hypot(x, y) + conicidade_raio * z;
        r2 = r * r;
    }
    r2_min = r2_max = r2;
    // The helix starts where its first move does, when that is in the part;
    // a first move down from the air starts it at the face.
    z_min = z_max = z;
    if (m.de.z <= 0) {
        z_min = std::min(z, m.de.z);
        z_max = std::max(z, m.de.z);
    }
    penultimo = m.de;
    primeiro = ultimo = m.para;
    ultimo_arco = m.tipo == TipoMovimento::arco;
    if (ultimo_arco) {
        ++arcos;
        graus += graus_do_arco(m);
    }
    movimentos = 1;
}
