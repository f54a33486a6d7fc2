#!/usr/bin/env python3
# Compares two builds of rosca-helicoidal byte for byte: console, written
# files and exit status, for the fuzz corpus's answer files and 60 jobs
# (kinds, hands, start angles) under 19 option sets covering every G-word
# dialect and way of cutting. The "Tempo de corte pelo percurso" line is left
# out, since later builds add it with any option. Prints the first
# differences and "total N dif D".
#
#   tests/comparar_versoes.py OLD/rosca-helicoidal NEW/rosca-helicoidal
#
# Works in /tmp/comparar_versoes.
import subprocess, os, sys, itertools, shutil, glob, random
A=sys.argv[1]; B=sys.argv[2]
respostas=[open(f,'rb').read() for f in sorted(glob.glob(os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'fuzz', 'corpus', '*.txt')))]
jobs=[('I','16.106','14','0.35','0.05','11.5','24','2'),('I','20','17.5','0.5','0.1','14','10','2.5'),('I','20','0','','','10','6','1.5'),
      ('E','16.933','20','0.5','0.1','14','12','2.5'),('E','16.933','0','','','6','6','2.5'),('I','6.35','5.1','0.2','0.05','4','8','1.27'),
      ('I','20','17','0.5','0.1','10','4','1.5'),('E','12','14','0.4','0.1','20','9','1.75'),('I','10','0','','','8.5','1.001','1'),('E','20','24','0.5','0.2','10','0.3','1.5')]
for j in jobs:
    for mao in 'DE':
        for ang in ['0','45.5','359.9']:
            respostas.append(('\n'.join([x for x in j if x!='']+[mao,ang,'1000','200'])+'\n').encode())
opcoes=[[],['--comando','linuxcnc'],['--comando','grbl'],['--comando','fanuc','--ferramenta','3','--programa','12'],
 ['--arcos'],['--concordante'],['--discordante'],['--entrada-tangencial'],['--entrada-tangencial','--concordante'],['--entrada-tangencial','--discordante','--arcos'],
 ['--compensacao'],['--compensacao','--concordante','--comando','fanuc'],['--compensacao','--discordante','--comando','linuxcnc','--ferramenta','7'],
 ['--repetir-acabamento','2','--avanco-na-aresta'],['--discordante','--entrada-tangencial','--repetir-acabamento','1','--avanco-na-aresta'],
 ['--conica'],['--conica','--concordante','--entrada-tangencial','--comando','grbl'],['--conicidade','1:5','--discordante'],['--avanco-na-aresta','--comando','linuxcnc']]
def rodar(binario, resp, ops, d):
    if os.path.exists(d): shutil.rmtree(d)
    os.makedirs(d)
    r=subprocess.run([binario]+ops, input=resp, capture_output=True, cwd=d)
    files={}
    for f in os.listdir(d): files[f]=open(os.path.join(d,f),'rb').read()
    import re
    limpa=lambda b: re.sub(rb"[;(]?(Tempo de corte pelo percurso|TEMPO DE CORTE PELO PERCURSO): [0-9.]+ (minutos|MINUTOS)\)?\r?\n", b"", b)
    return r.returncode, limpa(r.stdout), r.stderr, {k:limpa(v) for k,v in files.items()}
n=0; dif=0
for resp in respostas:
    for ops in opcoes:
        n+=1
        a=rodar(A,resp,ops,'/tmp/comparar_versoes/a'); b=rodar(B,resp,ops,'/tmp/comparar_versoes/b')
        if a!=b:
            dif+=1
            if dif<=8:
                print('DIFF', ops, resp[:60])
                if a[0]!=b[0]: print('  status',a[0],b[0])
                if a[1]!=b[1]: print('  stdout differs')
                for f in set(a[3])|set(b[3]):
                    if a[3].get(f)!=b[3].get(f):
                        x=a[3].get(f,b'').split(b'\n'); y=b[3].get(f,b'').split(b'\n')
                        for i,(p,q) in enumerate(zip(x,y)):
                            if p!=q: print('  file',f,'line',i+1,p[:80],'|',q[:80]); break
                        else: print('  file',f,'len',len(x),len(y))
print('total',n,'dif',dif)
