0 BEGIN PGM texto_claro_tangencial MM
1 ;Df-Diametro final da rosca: 12.00 [mm]
2 ;Da-Diametro acabamento da rosca: 11.80 [mm]
3 ;Di-diametro inicial da rosca: 10.50 [mm]
4 ;pl-Passo Lateral da rosca: 0.33 [mm]
5 ;pl-Passo Lateral de acabamento da rosca: 0.10 [mm]
6 ;np-Quantidade de Passes Laterais da rosca: 3
7 ;passo lateral: 0 com diametro: 10.500 [mm]
8 ;passo lateral: 1 com diametro: 11.150 [mm]
9 ;passo lateral: 2 com diametro: 11.800 [mm]
10 ;passo lateral: 3 com diametro: 12.000 [mm]
11 ;L-Comprimento da rosca: 4.00 [mm]
12 ;p-Passo Vertical da rosca (1 fio): 1.50 [mm]
13 ;n-Fios total da rosca: 2.67 fios
14 ;Angulo Inicial de Rosca: 0.0 [graus] -> Direita
15 ;Angulo Final de Rosca: 240.0 [graus]
16 ;Rosca [INTERNA] [Direita >> sentido Horario]
17 ;Df-ferramenta: 8.00 mm
18 ;Precisao de Passo: 0.022 mm
19 ;Tempo de usinagem: 0.6 minutos
20 ;Tempo de corte pelo percurso: 2.0 minutos
21 ;Rotacao S: 1000 rpm
22 ;Avanco Feed-Rate (fn): 200.0 [mm / min]
23 ;Avanco por rotacao (Fz): 0.200 [mm / rotacao]
24 ;Percurso em arcos helicoidais (G2/G3)
25 ;Entrada e saida tangenciais
26 ;Compensacao de raio: D1 - raio da fresa na tabela de ferramentas do comando
27 ;Z minimo do percurso: -4.188 [mm]
28 TOOL CALL 1 Z S1000
29 L Z+3 R0 FMAX M3
30 L X+0 Y+0 R0 FMAX
31 CYCL DEF 9.0 DWELL TIME
32 CYCL DEF 9.1 DWELL 3
33 L X-4.213 Y+4.787 R0 FMAX
34 ;passo lateral: 1 - fio rosca N: 1
35 ;diametro: 11.150 [mm]
36 L X+0.787 Y+4.787 RR F200
37 L Z+0.188
38 CC X+0.787 Y+0.000
39 CP IPA-90.006 IZ-0.188 DR-
40 CC X+0 Y+0
41 CP IPA-960.004 IZ-4.000 DR-
42 CC X-0.394 Y+0.682
43 CP IPA-89.991 IZ-0.188 DR-
44 L Z+5.000 FMAX
45 L X+6.966 Y-0.754 R0 F200
46 L X-4.050 Y+4.950 R0 FMAX
47 ;passo lateral: 2 - fio rosca N: 1
48 ;diametro: 11.800 [mm]
49 L X+0.950 Y+4.950 RR F200
50 L Z+0.188
51 CC X+0.950 Y+0.000
52 CP IPA-90.000 IZ-0.188 DR-
53 CC X+0 Y+0
54 CP IPA-960.002 IZ-4.000 DR-
55 CC X-0.475 Y+0.823
56 CP IPA-89.996 IZ-0.188 DR-
57 CP IPA-90.001 IZ+0.000 DR-
58 L Z+5.000 FMAX
59 L X-1.830 Y-6.678 R0 F200
60 L X-4.000 Y+5.000 R0 FMAX
61 ;passo lateral: 3 - fio rosca N: 1
62 ;diametro: 12.000 [mm]
63 L X+1.000 Y+5.000 RR F200
64 L Z+0.188
65 CC X+1.000 Y+0.000
66 CP IPA-90.000 IZ-0.188 DR-
67 CC X+0 Y+0
68 CP IPA-959.999 IZ-4.000 DR-
69 CC X-0.500 Y+0.866
70 CP IPA-90.001 IZ-0.188 DR-
71 CP IPA-90.000 IZ+0.000 DR-
72 L Z+5.000 FMAX
73 L X-1.830 Y-6.678 R0 F200
74 ;X MAX = 2.00 --- X MIN = -2.00
75 ;Y MAX = 2.00 --- Y MIN = -2.00
76 ;DIAMETRO USINADO MAXIMO = 12.000 [mm]
77 L Z+5 R0 FMAX M5
78 L Z+5 R0 FMAX M30
79 END PGM texto_claro_tangencial MM
