#!/usr/bin/env node
// Makes data/growth-reference.json, the growth standards the growth chart and the centiles use,
// from the npm package @rcpch/digital-growth-charts-react-component-library, which carries the
// WHO 2006 child growth standards and the CDC 2000 growth charts as centile lines.
//
//   cd /tmp && npm pack @rcpch/digital-growth-charts-react-component-library && tar xzf rcpch-*.tgz
//   node scripts/make-growth-reference.js /tmp/package > data/growth-reference.json
//
// No dependencies. The same package version gives the same file, byte for byte.
'use strict';
const fs = require('fs');
const path = require('path');

const dir = process.argv[2];
if (!dir) {
    process.stderr.write('usage: make-growth-reference.js <unpacked package folder>\n');
    process.exit(2);
}
const pkg = JSON.parse(fs.readFileSync(path.join(dir, 'package.json'), 'utf8'));
const licenceFile = fs.readFileSync(path.join(dir, 'LICENSE'), 'utf8').split('\n')[0].trim();
const source = fs.readFileSync(path.join(dir, 'build', 'index.js'), 'utf8');

// The bundle holds each chart as `name={centile_data:[{reference:{sex:{measure:[lines]}}}, ...]}`.
// The object is cut out by its brackets and read only when it holds nothing but literals.
function literalAt(start) {
    let depth = 0;
    for (let i = start; i < source.length; i++) {
        const c = source[i];
        if (c === '{' || c === '[') depth++;
        else if (c === '}' || c === ']') {
            depth--;
            if (depth === 0) return source.slice(start, i + 1);
        }
    }
    throw new Error('unbalanced chart data at ' + start);
}
const charts = {}; // reference -> sex -> measure -> lines
const find = /=\{centile_data:\[/g;
let m;
while ((m = find.exec(source))) {
    const text = literalAt(m.index + 1);
    if (!/^[\s\w:.,{}[\]"'+-]*$/.test(text)) throw new Error('unexpected content in chart data');
    const data = Function('"use strict"; return (' + text + ');')();
    for (const entry of data.centile_data)
        for (const [reference, sexes] of Object.entries(entry))
            for (const [sex, measures] of Object.entries(sexes || {}))
                for (const [measure, lines] of Object.entries(measures || {}))
                    if (lines && lines.length && lines[0].data) {
                        charts[reference] = charts[reference] || {};
                        charts[reference][sex] = charts[reference][sex] || {};
                        if (!charts[reference][sex][measure]) charts[reference][sex][measure] = lines;
                    }
}

// One stretch of a reference: the ages (years) and, for each centile line, its value at each age.
function segment(reference, sex, measure, from, to) {
    const lines = charts[reference] && charts[reference][sex] && charts[reference][sex][measure];
    if (!lines) throw new Error(`no ${reference} ${sex} ${measure} in the package`);
    const ages = lines[0].data.map((p) => p.x).filter((x) => x >= from - 1e-9 && x <= to + 1e-9);
    const out = {
        source: reference.startsWith('who') ? 'WHO' : 'CDC',
        chart: reference,
        centiles: lines.map((l) => l.centile),
        sds: lines.map((l) => l.sds),
        ages,
        values: lines.map((l) => {
            const byAge = new Map(l.data.map((p) => [p.x, p.y]));
            return ages.map((a) => {
                if (!byAge.has(a)) throw new Error(`${reference} ${sex} ${measure}: no value at ${a}`);
                return byAge.get(a);
            });
        }),
    };
    return out;
}

const sexes = { girl: 'female', boy: 'male' };
const result = {
    about: {
        what:
            'Growth references by age in years: weight (kg), length to 2 years then height (cm), head ' +
            'circumference (cm) and BMI (kg/m2, from 2 years), girls and boys, each centile line with ' +
            'its SDS. WHO 2006 child growth standards to 5 years (length to 2 years), CDC 2000 growth ' +
            'charts from 5 to 20 years (head circumference: WHO only).',
        from: `npm package ${pkg.name} ${pkg.version} (${(pkg.repository && pkg.repository.url) || ''}), ` +
            'build/index.js, charts who_2006_infant, who_2006_child and cdc_child',
        licence:
            `The package's package.json states "${pkg.license}"; its LICENSE file is the ${licenceFile} ` +
            'text (Copyright (c) 2021 The Royal College of Paediatrics and Child Health). The underlying ' +
            'reference values are published by the World Health Organization and the US Centers for ' +
            'Disease Control and Prevention.',
        madeBy: 'scripts/make-growth-reference.js',
    },
};
for (const [name, sex] of Object.entries(sexes)) {
    result[name] = {
        weight: [segment('who_2006_infant', sex, 'weight', 0, 2), segment('who_2006_child', sex, 'weight', 2, 5),
                 segment('cdc_child', sex, 'weight', 5, 20)],
        height: [segment('who_2006_infant', sex, 'height', 0, 2), segment('who_2006_child', sex, 'height', 2, 5),
                 segment('cdc_child', sex, 'height', 5, 20)],
        head: [segment('who_2006_infant', sex, 'ofc', 0, 2), segment('who_2006_child', sex, 'ofc', 2, 5)],
        bmi: [segment('who_2006_child', sex, 'bmi', 2, 5), segment('cdc_child', sex, 'bmi', 5, 20)],
    };
}

// One line per array of numbers keeps the file short and its differences readable.
function write(value, indent) {
    const pad = '  '.repeat(indent);
    if (Array.isArray(value)) {
        if (value.every((v) => typeof v !== 'object')) return JSON.stringify(value);
        return '[\n' + value.map((v) => pad + '  ' + write(v, indent + 1)).join(',\n') + '\n' + pad + ']';
    }
    if (value && typeof value === 'object')
        return '{\n' + Object.entries(value).map(([k, v]) => pad + '  ' + JSON.stringify(k) + ': ' +
            write(v, indent + 1)).join(',\n') + '\n' + pad + '}';
    return JSON.stringify(value);
}
process.stdout.write(write(result, 0) + '\n');
